#include "app/frm_inicio.h"

#include "app/cuadro_imagen.h"
#include "app/titulo.h"

#include <QIcon>

namespace app {
namespace {

constexpr Control kControles[] = {
    {"btnInicio", Tipo::CuadroImagen, "", 0, 0, 12060, 9060, 0, "FOLIOTECA"},
};

} // namespace

FrmInicio::FrmInicio(Ventanas& ventanas)
    : Ventana(ventanas, Id::Inicio, "frmInicio", "FOLIOTECA 1.0 FOR WINDOWS 95", kControles,
              Desplazar::No) {
    QIcon icono;
    icono.addFile(QStringLiteral(":/iconos/programa32.xpm"));
    icono.addFile(QStringLiteral(":/iconos/programa16.xpm"));
    setWindowIcon(icono);
    auto* inicio = enlazar<CuadroImagen>("btnInicio");
    inicio->setPixmap(PintarTitulo());
    connect(inicio, &CuadroImagen::pulsado, this, &FrmInicio::btnInicioClick);
}

void FrmInicio::btnInicioClick() {
    irAlMenu();
}

// The close request unloads the window itself; from the click's own unload it
// adds nothing, from the frame it destroys the window and so ends the program.
void FrmInicio::alPedirCierre() {
    ventanas_.descargar(Id::Inicio);
}

void FrmInicio::alCerrarMarco() {
    ventanas_.descargar(Id::Inicio);
}

} // namespace app
