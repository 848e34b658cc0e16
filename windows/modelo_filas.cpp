#include "windows/modelo_filas.h"

#include "app/texto.h"

#include <algorithm>

namespace win {

QModelIndex ModeloFilas::index(int fila, int columna, const QModelIndex& padre) const {
    const bool valido = fila >= 0 && fila < publicadas_ && columna == 0 && !padre.isValid();
    return valido ? createIndex(fila, columna) : QModelIndex();
}

int ModeloFilas::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : publicadas_;
}

QVariant ModeloFilas::data(const QModelIndex& indice, int rol) const {
    if (rol != Qt::DisplayRole || !indice.isValid() || indice.row() >= publicadas_) {
        return {};
    }
    return app::DesdeCp1252(fila(indice.row()));
}

std::string_view ModeloFilas::fila(int i) const {
    const auto fin = [this](int k) {
        const auto altos = std::upper_bound(vueltas_.begin(), vueltas_.end(), k) - vueltas_.begin();
        return static_cast<std::uint64_t>(altos) << 32 | finales_.datos()[k];
    };
    const std::uint64_t desde = i == 0 ? 0 : fin(i - 1);
    return {bytes_.datos() + desde, static_cast<std::size_t>(fin(i) - desde)};
}

void ModeloFilas::anadir(std::string_view a, std::string_view b) {
    const std::uint64_t antes = bytes_.tam();
    bytes_.anadir(a.data(), a.size());
    bytes_.anadir(b.data(), b.size());
    const std::uint64_t fin = bytes_.tam();
    const int fila = static_cast<int>(finales_.tam());
    for (std::uint64_t v = antes >> 32; v < fin >> 32; ++v) {
        vueltas_.push_back(fila);
    }
    const auto bajos = static_cast<std::uint32_t>(fin);
    finales_.anadir(&bajos, 1);
}

void ModeloFilas::publicar() {
    const int total = static_cast<int>(finales_.tam());
    if (total == publicadas_) {
        return;
    }
    beginInsertRows({}, publicadas_, total - 1);
    publicadas_ = total;
    endInsertRows();
}

} // namespace win
