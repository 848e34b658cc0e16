#pragma once
// The record file fichas.dat: the card layout, the reading pass and appending.
// Plain C++ and POSIX; texts are Windows-1252 bytes, never converted here.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace store {

inline constexpr const char* kNombreArchivo = "fichas.dat";
inline constexpr std::int64_t kLimiteSiguiente = 100000000; // next number, opening one card
inline constexpr std::int64_t kLimiteLista = 1000000000;    // full list, search

// One record card. Texto is std::string for a card held by its owner and
// std::string_view for the card handed to a per-card step during a pass.
template <class Texto> struct FichaDe {
    std::int64_t Numero = 0; // an empty number reads as 0
    Texto Titulo, Autor, Editorial, Fecha, Paginas, Copias, Codigo, Tema, Comentario;
};
using Ficha = FichaDe<std::string>;
using VistaFicha = FichaDe<std::string_view>;

// The nine texts in file order, for code that walks them.
template <class Texto> using CampoDe = Texto FichaDe<Texto>::*;
inline constexpr CampoDe<std::string_view> kCamposVista[9] = {
    &VistaFicha::Titulo, &VistaFicha::Autor,   &VistaFicha::Editorial,
    &VistaFicha::Fecha,  &VistaFicha::Paginas, &VistaFicha::Copias,
    &VistaFicha::Codigo, &VistaFicha::Tema,    &VistaFicha::Comentario};
inline constexpr CampoDe<std::string> kCampos[9] = {
    &Ficha::Titulo, &Ficha::Autor,  &Ficha::Editorial, &Ficha::Fecha,     &Ficha::Paginas,
    &Ficha::Copias, &Ficha::Codigo, &Ficha::Tema,      &Ficha::Comentario};

Ficha Copiar(const VistaFicha& vista);

enum class Paso { Seguir, Terminar };

// The per-card step. The views are valid only during the call.
using PasoPorFicha = std::function<Paso(const VistaFicha&)>;

struct Pase {
    bool abierto = false;                  // false: the file could not be opened (counter "empty")
    std::int64_t contador = 1;             // the counter when the pass ended
    std::optional<std::int64_t> recordado; // counter before the last card attempted, when asked
};

// The reading pass shared by every reader: opens fichas.dat in the current
// directory, hands each card to `paso`, closes the file. Failures (no file,
// a read error, the end of the file, a card cut short) end the pass silently.
Pase LeerFichas(std::int64_t limite, bool recordar, const PasoPorFicha& paso);

// The same pass over bytes already in memory (tests, fuzzing, fault layers).
Pase LeerFichasDe(std::string_view datos, std::int64_t limite, bool recordar,
                  const PasoPorFicha& paso);

// One more than the number of the last card read; 1 for a missing or empty file.
std::int64_t SiguienteNumero();
std::int64_t SiguienteNumeroDe(std::string_view datos);

// The exact line written for one card, CR LF included. Double quotes inside a
// text are doubled so that the text reads back as it was typed.
std::string Linea(const Ficha& ficha);

struct Error {
    int codigo = 0;    // errno of the failing call; 0 means no error
    std::string causa; // one Spanish sentence for the user
    explicit operator bool() const { return codigo != 0; }
};

// Appends a new card to fichas.dat. Under an exclusive lock on the file it
// computes SiguienteNumero, stores it in ficha.Numero and appends the line in
// one write, then syncs. A card cut short at the end of the file (a save
// killed halfway) is made whole in the same write, its missing texts empty,
// so that the new card is never read as the rest of it. On failure the file
// is cut back to its size before the save and the error is returned; nothing
// else happens.
Error GuardarFicha(Ficha& ficha);

} // namespace store
