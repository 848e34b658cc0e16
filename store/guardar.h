#pragma once
// Appending a new card to fichas.dat.

#include "store/error.h"
#include "store/ficha.h"

namespace store {

struct Archivos;

// Appends a new card to fichas.dat. Under an exclusive lock on the file it
// computes SiguienteNumero, stores it in ficha.Numero and appends the line in
// one write, then syncs. A card cut short at the end of the file (a save
// killed halfway) is made whole in the same write, its missing texts empty,
// so that the new card is never read as the rest of it. On failure the file
// is cut back to its size before the save and the error is returned; nothing
// else happens.
Error GuardarFicha(Ficha& ficha);

// GuardarFicha through the given calls (store/archivos.h), so that tests can
// make any of them fail.
Error GuardarFichaCon(Archivos& archivos, Ficha& ficha);

} // namespace store
