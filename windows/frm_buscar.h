#pragma once
#include "app/ventanas.h"
#include "windows/listas.h"

#include <array>

class QLineEdit;
class QRadioButton;

namespace win {

// The search: the cards whose chosen field contains a text, appended to five
// parallel lists; and the opening of one card by its number.
class FrmBuscar : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmBuscar(app::Ventanas& ventanas);

  private:
    void btnBuscarClick();
    void btnAbrirClick();

    QLineEdit* const txtBuscar_;
    QLineEdit* const txtNtotal_;
    QLineEdit* const txtNlista_;
    // The five options, in the order they are examined.
    std::array<QRadioButton*, 5> opciones_;
    Listas listas_;
};

} // namespace win
