#pragma once
// The five parallel result lists of the search and full-list windows.

#include "app/ventanas.h"
#include "store/ficha.h"

#include <array>

namespace win {

class ModeloFilas;

// LstAutor, LstTitulo, LstEditorial, LstCodigo and LstTema of a window, kept
// in step: the k-th row of each belongs to the same card.
class Listas {
  public:
    explicit Listas(const app::Ventana& ventana);

    // One row at the end of each list: number, blank and author; title;
    // publisher; code; subject. Unseen until publicar().
    void anadir(const store::VistaFicha& ficha);
    // Shows the rows added during a pass: one notification per list.
    void publicar();

  private:
    std::array<ModeloFilas*, 5> modelos_{};
};

} // namespace win
