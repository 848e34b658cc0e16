#pragma once
#include "app/ventanas.h"

namespace app {

// The record-editing menu, between the main menu and the new-record window.
class FrmEdicion : public Ventana {
    Q_OBJECT
  public:
    explicit FrmEdicion(Ventanas& ventanas);

  private:
    void btnCrearClick();
    void volver() override;
};

} // namespace app
