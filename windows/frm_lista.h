#pragma once
#include "app/ventanas.h"
#include "windows/listas.h"

class QLineEdit;

namespace win {

// The full list: every card on file in five parallel lists, filled once as
// the window is loaded.
class FrmLista : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmLista(app::Ventanas& ventanas);
    void alCargar() override;

  private:
    QLineEdit* const txtNumero_;
    Listas listas_;
};

} // namespace win
