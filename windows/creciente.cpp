#include "windows/creciente.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

} // namespace win
