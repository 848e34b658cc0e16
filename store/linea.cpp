#include "store/linea.h"

#include <charconv>
#include <string_view>

namespace store {
namespace {

// Appends `texto` between double quotes, each quote inside it doubled.
void Entrecomillar(std::string& linea, std::string_view texto) {
    linea += '"';
    for (std::size_t desde = 0;;) {
        const std::size_t comilla = texto.find('"', desde);
        if (comilla == std::string_view::npos) {
            linea.append(texto.substr(desde));
            break;
        }
        linea.append(texto.substr(desde, comilla + 1 - desde));
        linea += '"';
        desde = comilla + 1;
    }
    linea += '"';
}

} // namespace

std::string Linea(const Ficha& ficha) {
    std::size_t largo = 20 + 9 * 3 + 2;
    for (const auto campo : kCampos) {
        largo += (ficha.*campo).size();
    }
    std::string linea;
    linea.reserve(largo);
    char numero[24];
    const auto fin = std::to_chars(numero, numero + sizeof numero, ficha.Numero).ptr;
    linea.append(numero, fin);
    for (const auto campo : kCampos) {
        linea += ',';
        Entrecomillar(linea, ficha.*campo);
    }
    linea += "\r\n";
    return linea;
}

} // namespace store
