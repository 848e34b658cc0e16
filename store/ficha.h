#pragma once
// The record file fichas.dat: the card and its nine texts. Plain C++ and
// POSIX; texts are Windows-1252 bytes, never converted here.

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

inline constexpr const char* kNombreArchivo = "fichas.dat";

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

} // namespace store

// The rest of the record file's interface, for code that includes only this
// header: reading, the line format and saving.
#include "store/guardar.h"
#include "store/lectura.h"
#include "store/linea.h"
