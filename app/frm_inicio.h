#pragma once
#include "app/ventanas.h"

namespace app {

// The title window: one large picture whose click leads to the main menu.
class FrmInicio : public Ventana {
    Q_OBJECT
  public:
    explicit FrmInicio(Ventanas& ventanas);
    void alPedirCierre() override;
    void alCerrarMarco() override;

  private:
    void btnInicioClick();
};

} // namespace app
