#pragma once
// The five parallel result lists of the search and full-list windows.

#include "app/ventanas.h"
#include "store/ficha.h"

#include <QAbstractListModel>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <type_traits>
#include <vector>

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

// The rows of one list, written by hand rather than with QStringListModel: a
// million rows as QStrings would cost several copies of the catalogue and
// seconds to build. Rows stay Windows-1252 bytes in one growing buffer with
// the end of each row beside it, and a row becomes a QString only when the
// view draws it. Rows are added unseen and announced to the view in one go.
class ModeloFilas : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    // index() without the generic checks: the view asks for it once per row
    // each time it lays the list out.
    QModelIndex index(int fila, int columna, const QModelIndex& padre = {}) const override;
    int rowCount(const QModelIndex& padre = {}) const override;
    QVariant data(const QModelIndex& indice, int rol) const override;

    // Appends one row made of `a` followed by `b`; the view sees it after publicar().
    void anadir(std::string_view a, std::string_view b = {});
    // Announces every row added since the last call with one insertion.
    void publicar();

  private:
    std::string_view fila(int i) const;

    Creciente<char> bytes_;
    // Where each row ends in bytes_, in 32 bits: half the memory of 64-bit
    // ends, which at ten million rows in five lists is 200 MB less to fault
    // in. The bits above are given by `vueltas_`: the rows at which the end
    // passed another multiple of 4 GiB, once per multiple (almost always none).
    Creciente<std::uint32_t> finales_;
    std::vector<int> vueltas_;
    int publicadas_ = 0;
};

// LstAutor, LstTitulo, LstEditorial, LstCodigo and LstTema of a window, kept
// in step: the k-th row of each belongs to the same card.
class Listas {
  public:
    explicit Listas(const app::Ventana& ventana);

    // One row at the end of each list: number, blank and author; title;
    // publisher; code; subject. Unseen until Publicar().
    void Anadir(const store::VistaFicha& ficha);
    // Shows the rows added during a pass: one notification per list.
    void Publicar();

  private:
    std::array<ModeloFilas*, 5> modelos_{};
};

} // namespace win
