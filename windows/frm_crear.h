#pragma once
#include "app/ventanas.h"

#include <array>

class QLineEdit;
class QPlainTextEdit;

namespace win {

// The new record card: shows the number the card will get and appends the
// nine typed texts to the record file.
class FrmCrear : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmCrear(app::Ventanas& ventanas);
    void alCargar() override;

  private:
    void btnGuardarClick();

    QLineEdit* const txtNumero_;
    // The single-line boxes of the first eight texts, in file order.
    std::array<QLineEdit*, 8> cajas_;
    QPlainTextEdit* const txtComentario_;
};

} // namespace win
