#pragma once
#include "app/ventanas.h"

namespace app {

// Fills the window table with one factory per window number: the only place
// that knows every window.
void RegistrarVentanas(Ventanas& ventanas);

} // namespace app
