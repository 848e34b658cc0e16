#include "app/frm_edicion.h"

#include "app/fuentes.h"

#include <QPushButton>

namespace app {
namespace {

constexpr Control kControles[] = {
    {"btnVolver", Tipo::Boton, "VOLVER AL MENU PRINCIPAL", 2880, 4920, 6255, 495, 3},
    {"Command3", Tipo::Boton, "ELIMINAR UNA FICHA", 2880, 3600, 6255, 495, 2},
    {"Command2", Tipo::Boton, "MODIFICAR UNA FICHA", 2880, 2880, 6255, 495, 1},
    {"btnCrear", Tipo::Boton, "CREAR UNA FICHA", 2880, 2160, 6255, 495, 0},
    {"Image4", Tipo::Imagen, ":/iconos/flecha.xpm", 2040, 4920, 615, 495, -1, "Flecha"},
    {"Image3", Tipo::Imagen, ":/iconos/lapiz.xpm", 2040, 3600, 615, 495, -1, "Lápiz"},
    {"Image2", Tipo::Imagen, ":/iconos/libro_frente.xpm", 2040, 2880, 615, 495, -1,
     "Libro de frente"},
    {"Image1", Tipo::Imagen, ":/iconos/libro_inclinado.xpm", 2040, 2160, 615, 495, -1,
     "Libro inclinado"},
};

} // namespace

FrmEdicion::FrmEdicion(Ventanas& ventanas)
    : Ventana(ventanas, Id::Edicion, "frmEdicion", "EDICIÓN", kControles) {
    for (QPushButton* b : cliente()->findChildren<QPushButton*>()) {
        b->setFont(FuenteMenu());
    }
    connect(enlazar<QPushButton>("btnCrear"), &QPushButton::clicked, this,
            &FrmEdicion::btnCrearClick);
    connect(enlazar<QPushButton>("btnVolver"), &QPushButton::clicked, this, &FrmEdicion::volver);
}

// The editing menu stays loaded and hidden behind the new-record window.
void FrmEdicion::btnCrearClick() {
    ventanas_.ocultar(Id::Edicion);
    ventanas_.cargar(Id::Crear);
    ventanas_.mostrar(Id::Crear);
}

// Not the plain way back: the main menu was only hidden when it opened this
// window, so it is shown again as it was, without loading it.
void FrmEdicion::volver() {
    ventanas_.ocultar(Id::Edicion);
    ventanas_.descargar(Id::Edicion);
    ventanas_.mostrar(Id::Menu);
}

} // namespace app
