#pragma once
#include "app/ventanas.h"
#include "store/ficha.h"

#include <span>

namespace win {

// The record card: one card in full, read-only, written in by the search window.
class FrmFicha : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmFicha(app::Ventanas& ventanas);
    static std::span<const app::Control> Tabla();
    // Writes the card's number and nine texts into the boxes.
    void Escribir(const store::Ficha& ficha);
    void alCerrarMarco() override;

  private:
    void btnVolverClick();
};

} // namespace win
