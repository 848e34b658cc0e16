#pragma once
// The fonts the fixed layouts are drawn for, substituted where they are absent
// (see PrepararAplicacion).

#include <QFont>

namespace app {

// Every control, and the message boxes.
QFont FuenteControles();
// The menu windows' buttons.
QFont FuenteMenu();

} // namespace app
