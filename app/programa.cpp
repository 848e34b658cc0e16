#include "app/programa.h"

#include "app/frm_edicion.h"
#include "app/frm_inicio.h"
#include "app/frm_menu.h"
#include "windows/frm_buscar.h"
#include "windows/frm_crear.h"
#include "windows/frm_ficha.h"
#include "windows/frm_lista.h"

namespace app {
namespace {

template <class T> Ventanas::Fabrica Fabrica() {
    return [](Ventanas& v) -> Ventana* { return new T(v); };
}

} // namespace

void RegistrarVentanas(Ventanas& ventanas) {
    ventanas.registrar(Id::Inicio, Fabrica<FrmInicio>());
    ventanas.registrar(Id::Menu, Fabrica<FrmMenu>());
    ventanas.registrar(Id::Edicion, Fabrica<FrmEdicion>());
    ventanas.registrar(Id::Crear, Fabrica<win::FrmCrear>());
    ventanas.registrar(Id::Buscar, Fabrica<win::FrmBuscar>());
    ventanas.registrar(Id::Ficha, Fabrica<win::FrmFicha>());
    ventanas.registrar(Id::Lista, Fabrica<win::FrmLista>());
}

} // namespace app
