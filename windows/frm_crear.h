#pragma once
#include "app/ventanas.h"

namespace win {

// The new record card: shows the number the card will get and appends the
// nine typed texts to the record file.
class FrmCrear : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmCrear(app::Ventanas& ventanas);
    void alCargar() override;
    void alCerrarMarco() override;

  private:
    void btnGuardarClick();
    void btnVolverClick();
};

} // namespace win
