#pragma once
#include "app/ventanas.h"
#include "windows/listas.h"

#include <span>

class QLineEdit;

namespace win {

// The full list: every card on file in five parallel lists, filled once as
// the window is loaded.
class FrmLista : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmLista(app::Ventanas& ventanas);
    static std::span<const app::Control> Tabla();
    void alCargar() override;

  private:
    QLineEdit* const txtNumero_;
    Listas listas_;
};

} // namespace win
