#include "windows/listas.h"

#include "app/texto.h"

#include <QListView>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>

namespace win {

template <class T> void Creciente<T>::anadir(const T* desde, std::size_t n) {
    if (tam_ + n > capacidad_) {
        const std::size_t nueva = std::max({tam_ + n, 2 * capacidad_, std::size_t{4096}});
        void* p = std::realloc(datos_.get(), nueva * sizeof(T));
        if (p == nullptr)
            throw std::bad_alloc();
        datos_.release();
        datos_.reset(static_cast<T*>(p));
        capacidad_ = nueva;
    }
    if (n != 0)
        std::memcpy(datos_.get() + tam_, desde, n * sizeof(T));
    tam_ += n;
}

template class Creciente<char>;
template class Creciente<std::uint64_t>;

QModelIndex ModeloFilas::index(int fila, int columna, const QModelIndex& padre) const {
    const bool valido = fila >= 0 && fila < publicadas_ && columna == 0 && !padre.isValid();
    return valido ? createIndex(fila, columna) : QModelIndex();
}

int ModeloFilas::rowCount(const QModelIndex& padre) const {
    return padre.isValid() ? 0 : publicadas_;
}

QVariant ModeloFilas::data(const QModelIndex& indice, int rol) const {
    if (rol != Qt::DisplayRole || !indice.isValid() || indice.row() >= publicadas_)
        return {};
    return app::DesdeCp1252(fila(indice.row()));
}

std::string_view ModeloFilas::fila(int i) const {
    const std::uint64_t* finales = finales_.datos();
    const std::uint64_t desde = i == 0 ? 0 : finales[i - 1];
    return {bytes_.datos() + desde, static_cast<std::size_t>(finales[i] - desde)};
}

void ModeloFilas::anadir(std::string_view a, std::string_view b) {
    bytes_.anadir(a.data(), a.size());
    bytes_.anadir(b.data(), b.size());
    const std::uint64_t fin = bytes_.tam();
    finales_.anadir(&fin, 1);
}

void ModeloFilas::publicar() {
    const int total = static_cast<int>(finales_.tam());
    if (total == publicadas_)
        return;
    beginInsertRows({}, publicadas_, total - 1);
    publicadas_ = total;
    endInsertRows();
}

Listas::Listas(const app::Ventana& ventana) {
    constexpr const char* kNombres[] = {"LstAutor", "LstTitulo", "LstEditorial", "LstCodigo",
                                        "LstTema"};
    for (std::size_t i = 0; i < modelos_.size(); ++i) {
        auto* lista = ventana.control<QListView>(kNombres[i]);
        modelos_[i] = new ModeloFilas(lista);
        lista->setModel(modelos_[i]);
    }
}

void Listas::Anadir(const store::VistaFicha& ficha) {
    char numero[24];
    char* fin = std::to_chars(numero, numero + sizeof numero - 1, ficha.Numero).ptr;
    *fin++ = ' ';
    modelos_[0]->anadir(std::string_view(numero, static_cast<std::size_t>(fin - numero)),
                        ficha.Autor);
    modelos_[1]->anadir(ficha.Titulo);
    modelos_[2]->anadir(ficha.Editorial);
    modelos_[3]->anadir(ficha.Codigo);
    modelos_[4]->anadir(ficha.Tema);
}

void Listas::Publicar() {
    for (ModeloFilas* m : modelos_)
        m->publicar();
}

} // namespace win
