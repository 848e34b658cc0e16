#pragma once
// The scanner behind every reading pass, shared by the file, in-memory data
// and the save (which reads under its own lock).

#include "store/lectura.h"

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
    // errno of the read that ended the pass, 0 when it ended otherwise; only the
    // save acts on it (see LeerFichas).
    int error = 0;
    // Asked with `rematar`: the bytes that make whole a card cut short at the
    // end of the data (a save killed halfway), ending in CR LF; empty when the
    // data ends between cards.
    std::string remate;
};

// The reading pass over `fuente`, starting with a buffer of `bloque` bytes.
// With `rematar` the scan goes on to the end of the data after the pass has
// ended, handing no more cards to `paso`, to find a card cut short there; the
// pass then reads that card as it will be once `remate` is appended.
Recorrido Recorrer(const Fuente& fuente, std::size_t bloque, std::int64_t limite, Contador contador,
                   const PasoPorFicha& paso, bool rematar = false);

// The next-number pass over any source.
Recorrido PaseDelSiguiente(const Fuente& fuente, std::size_t bloque);
// The same pass for a save, with `rematar`.
Recorrido PaseAntesDeGuardar(const Fuente& fuente, std::size_t bloque);
// The next-number rule: the number a finished next-number pass gives.
std::int64_t ReglaDelSiguiente(const Pase& pase);

} // namespace store
