#pragma once
// The catalogue's rules over the reading pass: searching one field for a
// piece of text, opening a card by its number, and the full list. The
// windows show what these hand them and decide nothing about the file.

#include "store/lectura.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace store {

// Receives each card a rule hands over; the views are valid only during the call.
using FilaPorFicha = std::function<void(const VistaFicha&)>;

// Hands over, in file order, every card whose `campo` is not empty and holds
// `texto` byte for byte somewhere, and returns how many there were. Every
// card of the file is examined (up to the list's limit); the count has no
// limit of its own.
std::int64_t BuscarFichas(CampoDe<std::string_view> campo, std::string_view texto,
                          const FilaPorFicha& encontrada);

// The card number as the user typed it (Windows-1252 bytes): decimal digits,
// leading zeros allowed, with blanks around them. Anything else names no card.
std::optional<std::int64_t> NumeroTecleado(std::string_view tecleado);

// The first card on file with `numero`, read by a pass that stops there.
std::optional<Ficha> FichaConNumero(std::int64_t numero);

// Hands over every card in file order up to the first one numbered 0, and
// returns the number of the last card handed over (none when there was none).
std::optional<std::int64_t> ListarFichas(const FilaPorFicha& fila);

} // namespace store
