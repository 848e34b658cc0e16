#pragma once
// The line format of fichas.dat, as a save writes it.

#include "store/ficha.h"

#include <string>

namespace store {

// The exact line written for one card, CR LF included. Double quotes inside a
// text are doubled so that the text reads back as it was typed.
std::string Linea(const Ficha& ficha);

} // namespace store
