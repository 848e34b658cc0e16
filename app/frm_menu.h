#pragma once
#include "app/ventanas.h"

namespace app {

// The main menu: six buttons with their pictures, and the same choices in a
// menu bar with shortcuts.
class FrmMenu : public Ventana {
    Q_OBJECT
  public:
    explicit FrmMenu(Ventanas& ventanas);
    void alCerrarMarco() override;

  private:
    void btnEdicionClick();
    void btnBuscarClick();
    void btnListaClick();
    void btnSalirClick();
    void nmAcercaClick();
};

} // namespace app
