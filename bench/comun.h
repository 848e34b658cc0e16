#pragma once
// What the generator and the benchmarks share: the search words planted in
// the generated catalogue, and the UTF-8 to Windows-1252 conversion of the
// generator's literals. No Qt, so that the store benchmarks stay plain C++.

#include "store/ficha.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace banco {

// Each searchable field carries its own word in about one card in ten, and
// nowhere else in the file: in no other field, no comment, no other card.
// Written in UTF-8 here; Cp1252() gives the bytes the file holds.
struct Palabra {
    const char* campo;  // short name used in benchmark names and the table
    const char* opcion; // the option button of the search window
    store::CampoDe<std::string_view> miembro;
    const char* palabra;
};
inline constexpr Palabra kPalabras[] = {
    {"titulo", "optTitulo", &store::VistaFicha::Titulo, "laberinto"},
    {"autor", "optAutor", &store::VistaFicha::Autor, "Quiroga"},
    {"editorial", "optEditorial", &store::VistaFicha::Editorial, "Alborada"},
    {"codigo", "optCodigo", &store::VistaFicha::Codigo, "DEP"},
    {"tema", "optTema", &store::VistaFicha::Tema, "Astronomía"},
};
// Found in no card at all.
inline constexpr const char* kNinguna = "Zurbarqui";

// Windows-1252 bytes of a UTF-8 literal. Letters of Latin-1 map to the same
// byte; the few typographic signs the generator uses are in the table.
inline std::string Cp1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t u;
        std::size_t largo;
        if (c < 0x80) {
            u = c, largo = 1;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < utf8.size()) {
            u = (c & 0x1Fu) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu), largo = 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < utf8.size()) {
            u = (c & 0x0Fu) << 12 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6 |
                (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
            largo = 3;
        } else {
            throw std::invalid_argument("UTF-8 no admitido");
        }
        i += largo;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes += static_cast<char>(u);
        } else if (u == 0x20AC) {
            bytes += '\x80'; // euro sign
        } else if (u == 0x2014) {
            bytes += '\x97'; // em dash
        } else if (u == 0x2026) {
            bytes += '\x85'; // ellipsis
        } else {
            throw std::invalid_argument("carácter fuera de la página de códigos");
        }
    }
    return bytes;
}

} // namespace banco
