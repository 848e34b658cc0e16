#pragma once
#include "app/ventanas.h"
#include "store/ficha.h"

#include <array>

class QLineEdit;
class QPlainTextEdit;

namespace win {

// The record card: one card in full, read-only, written in by the search window.
class FrmFicha : public app::Ventana {
    Q_OBJECT
  public:
    explicit FrmFicha(app::Ventanas& ventanas);
    // Writes the card's number and nine texts into the boxes.
    void escribir(const store::Ficha& ficha);

  private:
    void volver() override;

    QLineEdit* const txtNumero_;
    // The single-line boxes, in the order of the card fields they show.
    std::array<QLineEdit*, 8> cajas_;
    QPlainTextEdit* const txtComentario_;
};

} // namespace win
