#include "windows/listas.h"

#include "app/texto.h"

#include <QListView>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace win {

namespace {

constexpr std::size_t kMapeoDesde = 4u << 20; // bytes; smaller blocks stay with malloc

void* Mapear(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return p == MAP_FAILED ? nullptr : p;
}

} // namespace

template <class T> Creciente<T>::~Creciente() {
    if (mapeado_) {
        munmap(datos_, capacidad_ * sizeof(T));
    } else {
        std::free(datos_);
    }
}

template <class T> void Creciente<T>::crecer(std::size_t minimo) {
    const std::size_t nueva = std::max({minimo, 2 * capacidad_, std::size_t{4096}});
    const std::size_t bytes = nueva * sizeof(T);
    void* p = nullptr;
    if (mapeado_) {
        p = mremap(datos_, capacidad_ * sizeof(T), bytes, MREMAP_MAYMOVE);
        p = p == MAP_FAILED ? nullptr : p;
    } else if (bytes >= kMapeoDesde) {
        p = Mapear(bytes);
        if (p != nullptr && tam_ != 0) {
            std::memcpy(p, datos_, tam_ * sizeof(T));
        }
        if (p != nullptr) {
            std::free(datos_);
            mapeado_ = true;
        }
    } else {
        p = std::realloc(datos_, bytes);
    }
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    if (mapeado_) {
        madvise(p, bytes, MADV_HUGEPAGE); // advice only: ignored where unsupported
    }
    datos_ = static_cast<T*>(p);
    capacidad_ = nueva;
}

template <class T> void Creciente<T>::anadir(const T* desde, std::size_t n) {
    if (tam_ + n > capacidad_) {
        crecer(tam_ + n);
    }
    if (n != 0) {
        std::memcpy(datos_ + tam_, desde, n * sizeof(T));
    }
    tam_ += n;
}

template class Creciente<char>;
template class Creciente<std::uint32_t>;

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
    for (ModeloFilas* m : modelos_) {
        m->publicar();
    }
}

} // namespace win
