#pragma once
// The scanner behind every reading pass, shared by the file, in-memory data
// and the save (which reads under its own lock).

#include "store/ficha.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>

namespace store {

// Size of the first read; the buffer grows only for a card longer than it.
inline constexpr std::size_t kBloque = std::size_t{4} << 20;

// Copies up to `largo` bytes found at offset `desde` into `destino`: returns
// the count, 0 at the end of the data, or -1 with errno set.
using Fuente = std::function<ssize_t(char* destino, std::size_t largo, std::int64_t desde)>;

struct Recorrido {
    Pase pase;
    int error = 0; // errno of the read that ended the pass; 0 when it ended otherwise
    // Asked with `cerrar`: the bytes that make whole a card cut short at the
    // end of the data (a save killed halfway), ending in CR LF; empty when the
    // data ends between cards.
    std::string cierre;
};

// The reading pass over `fuente`, starting with a buffer of `bloque` bytes.
// With `cerrar` the scan goes on to the end of the data after the pass has
// ended, handing no more cards to `paso`, to find a card cut short there; the
// pass then reads that card as it will be once `cierre` is appended.
Recorrido Recorrer(const Fuente& fuente, std::size_t bloque, std::int64_t limite, bool recordar,
                   const PasoPorFicha& paso, bool cerrar = false);

// The next-number pass and its rule, over any source.
Recorrido PaseDelSiguiente(const Fuente& fuente, std::size_t bloque);
// The same pass for a save, with `cerrar`.
Recorrido PaseAntesDeGuardar(const Fuente& fuente, std::size_t bloque);
std::int64_t NumeroSiguiente(const Pase& pase);

} // namespace store
