#pragma once
// The reading pass over fichas.dat shared by every reader, and the next
// number that comes of it.

#include "store/ficha.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace store {

// How many cards a pass reads at most, by what the pass is for.
inline constexpr std::int64_t kLimitePaseDeNumero = 100000000; // the next number, opening a card
inline constexpr std::int64_t kLimitePaseDeLista = 1000000000; // the full list, the search

enum class Paso { Seguir, Terminar };

// Whether the pass remembers the counter before the last card it attempted
// (Pase::recordado), which the next-number rule needs.
enum class Contador { Olvidar, Recordar };

// The per-card step. The views are valid only during the call.
using PasoPorFicha = std::function<Paso(const VistaFicha&)>;

struct Pase {
    bool abierto = false;                  // false: the file could not be opened (counter "empty")
    std::int64_t contador = 1;             // the counter when the pass ended
    std::optional<std::int64_t> recordado; // counter before the last card attempted, when asked
};

// Opens fichas.dat in the current directory, hands each card to `paso`,
// closes the file. Every way a pass can fail ends it silently, as the end of
// the file does: no file, a card cut short, and a read error too. The cards
// read so far stand and the caller is not told why the pass ended: a list
// shows what could be read, the next number follows the last card read. Only
// the save looks at a read error (Recorrido::error), since it must not append
// after bytes it could not read.
Pase LeerFichas(std::int64_t limite, Contador contador, const PasoPorFicha& paso);

// The same pass over bytes already in memory (tests, fuzzing, fault layers).
Pase LeerFichasDe(std::string_view datos, std::int64_t limite, Contador contador,
                  const PasoPorFicha& paso);

// One more than the number of the last card read; 1 for a missing or empty file.
std::int64_t SiguienteNumero();
std::int64_t SiguienteNumeroDe(std::string_view datos);

} // namespace store
