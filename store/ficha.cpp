#include "store/ficha.h"

namespace store {

Ficha Copiar(const VistaFicha& vista) {
    Ficha ficha;
    ficha.Numero = vista.Numero;
    for (int i = 0; i < 9; ++i) {
        ficha.*kCampos[i] = std::string(vista.*kCamposVista[i]);
    }
    return ficha;
}

} // namespace store
