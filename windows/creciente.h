#pragma once
// The growing buffer behind the result lists: plain C++ and POSIX, no Qt.

#include <cstddef>
#include <type_traits>

namespace win {

// A growing array of plain values. Past a few megabytes it lives in its own
// mapping, grown with mremap (pages are moved, not copied) and backed by huge
// pages where the kernel allows: a million rows otherwise cost more in page
// faults on fresh memory than in copying the rows.
template <class T> class Creciente {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    Creciente() = default;
    Creciente(const Creciente&) = delete;
    Creciente& operator=(const Creciente&) = delete;
    ~Creciente();

    void anadir(const T* desde, std::size_t n);
    const T* datos() const { return datos_; }
    std::size_t tam() const { return tam_; }

  private:
    void crecer(std::size_t minimo);

    T* datos_ = nullptr;
    std::size_t tam_ = 0, capacidad_ = 0; // in elements
    bool mapeado_ = false;
};

} // namespace win
