#pragma once
#include "app/ventanas.h"
#include "windows/listas.h"

#include <span>

namespace win {

// The search: the cards whose chosen field contains a text, appended to five
// parallel lists; and the opening of one card by its number.
class FrmBuscar : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmBuscar(app::Ventanas& ventanas);
    static std::span<const app::Control> Tabla();
    void alCerrarMarco() override;

  private:
    void btnBuscarClick();
    void btnAbrirClick();
    void btnVolverClick();

    Listas listas_;
};

} // namespace win
