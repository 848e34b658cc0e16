#include "store/catalogo.h"

#include <algorithm>
#include <charconv>
#include <functional>

namespace store {

std::int64_t BuscarFichas(CampoDe<std::string_view> campo, std::string_view texto,
                          const FilaPorFicha& encontrada) {
    const std::boyer_moore_horspool_searcher buscador(texto.begin(), texto.end());
    std::int64_t cuenta = 0;
    LeerFichas(kLimitePaseDeLista, Contador::Olvidar, [&](const VistaFicha& ficha) {
        const std::string_view f = ficha.*campo;
        if (!f.empty() && std::search(f.begin(), f.end(), buscador) != f.end()) {
            ++cuenta;
            encontrada(ficha);
        }
        return Paso::Seguir;
    });
    return cuenta;
}

std::optional<std::int64_t> NumeroTecleado(std::string_view s) {
    const auto desde = s.find_first_not_of(" \t");
    if (desde == std::string_view::npos) {
        return std::nullopt;
    }
    s = s.substr(desde, s.find_last_not_of(" \t") + 1 - desde);
    if (!std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::int64_t n = 0;
    if (std::from_chars(s.data(), s.data() + s.size(), n).ec != std::errc()) {
        return std::nullopt; // too large for any card
    }
    return n;
}

std::optional<Ficha> FichaConNumero(std::int64_t numero) {
    std::optional<Ficha> hallada;
    LeerFichas(kLimitePaseDeNumero, Contador::Olvidar, [&](const VistaFicha& ficha) {
        if (ficha.Numero != numero) {
            return Paso::Seguir;
        }
        hallada = Copiar(ficha);
        return Paso::Terminar;
    });
    return hallada;
}

std::optional<std::int64_t> ListarFichas(const FilaPorFicha& fila) {
    std::optional<std::int64_t> ultimo;
    LeerFichas(kLimitePaseDeLista, Contador::Olvidar, [&](const VistaFicha& ficha) {
        if (ficha.Numero == 0) {
            return Paso::Terminar;
        }
        ultimo = ficha.Numero;
        fila(ficha);
        return Paso::Seguir;
    });
    return ultimo;
}

} // namespace store
