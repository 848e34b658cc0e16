#include "app/aplicacion.h"
#include "app/programa.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication aplicacion(argc, argv);
    app::PrepararAplicacion();
    app::Ventanas ventanas;
    app::RegistrarVentanas(ventanas);
    ventanas.cargar(app::Id::Inicio);
    ventanas.mostrar(app::Id::Inicio);
    return QApplication::exec();
}
