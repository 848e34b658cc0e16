#pragma once
// The picture of the start-up window, drawn rather than shipped.

#include <QPixmap>

namespace app {

// The 800 x 600 title picture of the start-up window.
QPixmap PintarTitulo();

} // namespace app
