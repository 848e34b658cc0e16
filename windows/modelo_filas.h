#pragma once
// The Qt model of one result list, over rows kept as bytes.

#include "windows/creciente.h"

#include <QAbstractListModel>
#include <cstdint>
#include <string_view>
#include <vector>

namespace win {

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

} // namespace win
