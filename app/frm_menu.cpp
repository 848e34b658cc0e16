#include "app/frm_menu.h"

#include "app/fuentes.h"
#include "app/mensaje.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace app {
namespace {

constexpr Control kControles[] = {
    {"btnSalir", Tipo::Boton, "SALIR", 2880, 6120, 6135, 495, 11},
    {"Picture6", Tipo::CuadroImagen, ":/iconos/parar.xpm", 2040, 6120, 540, 540, 10,
     "Señal de stop"},
    {"Command5", Tipo::Boton, "OPCIONES", 2880, 4560, 6135, 495, 9},
    {"Picture5", Tipo::CuadroImagen, ":/iconos/papel.xpm", 2040, 4560, 540, 540, 8, "Papel"},
    {"btnLista", Tipo::Boton, "VER LISTA COMPLETA DE LIBROS", 2880, 3840, 6135, 495, 7},
    {"Picture4", Tipo::CuadroImagen, ":/iconos/libros.xpm", 2040, 3840, 540, 540, 6, "Libros"},
    {"Command3", Tipo::Boton, "PRESTAMO DE LIBROS", 2880, 3120, 6135, 495, 5},
    {"Picture3", Tipo::CuadroImagen, ":/iconos/libro_rojo.xpm", 2040, 3120, 540, 540, 4,
     "Libro rojo"},
    {"btnBuscar", Tipo::Boton, "BUSQUEDA DE FICHAS", 2880, 2400, 6135, 495, 3},
    {"Picture2", Tipo::CuadroImagen, ":/iconos/ojo.xpm", 2040, 2400, 540, 540, 2, "Ojo"},
    {"btnEdicion", Tipo::Boton, "EDICIÓN DE FICHAS", 2880, 1680, 6135, 495, 1},
    {"Picture1", Tipo::CuadroImagen, ":/iconos/martillo.xpm", 2040, 1680, 540, 540, 0, "Martillo"},
};

// One entry of the menu bar; an empty caption is a separator line.
struct Entrada {
    const char* nombre;
    const char* texto;
    const char* atajo;
};

constexpr Entrada kMenuMenu[] = {
    {"mnEdicion", "Edición de fichas", "Ctrl+E"},
    {"mnBusqueda", "Busqueda de fichas", "Ctrl+B"},
    {"mnPrestam", "Prestamo de libros", "Ctrl+P"},
    {"mnLista", "Lista completa de libros", "Ctrl+L"},
    {"mnOpciones", "Opciones", "Ctrl+O"},
    {"mnLinea", "", ""},
    {"mnSalir", "Salir", "Ctrl+X"},
};

constexpr Entrada kMenuAyuda[] = {
    {"nmAcerca", "Acerca de...", "Ctrl+C"},
};

void Menu(QMenuBar* barra, const char* nombre, const char* titulo,
          std::span<const Entrada> entradas) {
    QMenu* menu = barra->addMenu(QString::fromUtf8(titulo));
    menu->setObjectName(QString::fromLatin1(nombre));
    for (const Entrada& e : entradas) {
        QAction* accion =
            *e.texto ? menu->addAction(QString::fromUtf8(e.texto)) : menu->addSeparator();
        accion->setObjectName(QString::fromLatin1(e.nombre));
        accion->setShortcut(QKeySequence(QString::fromLatin1(e.atajo)));
    }
}

} // namespace

FrmMenu::FrmMenu(Ventanas& ventanas) : Ventana(ventanas, Id::Menu, "frmMenu", "MENÚ", kControles) {
    Menu(menuBar(), "mnMenu", "MENÚ", kMenuMenu);
    Menu(menuBar(), "nmAyuda", "AYUDA", kMenuAyuda);
    for (QPushButton* b : cliente()->findChildren<QPushButton*>()) {
        b->setFont(FuenteMenu());
    }
    const auto accion = [this](const char* nombre) {
        auto* a = findChild<QAction*>(QString::fromLatin1(nombre));
        if (!a) {
            faltaControl(nombre, "QAction");
        }
        return a;
    };
    connect(enlazar<QPushButton>("btnEdicion"), &QPushButton::clicked, this,
            &FrmMenu::btnEdicionClick);
    connect(accion("mnEdicion"), &QAction::triggered, this, &FrmMenu::btnEdicionClick);
    connect(enlazar<QPushButton>("btnBuscar"), &QPushButton::clicked, this,
            &FrmMenu::btnBuscarClick);
    connect(accion("mnBusqueda"), &QAction::triggered, this, &FrmMenu::btnBuscarClick);
    connect(enlazar<QPushButton>("btnLista"), &QPushButton::clicked, this, &FrmMenu::btnListaClick);
    connect(accion("mnLista"), &QAction::triggered, this, &FrmMenu::btnListaClick);
    connect(enlazar<QPushButton>("btnSalir"), &QPushButton::clicked, this, &FrmMenu::btnSalirClick);
    connect(accion("mnSalir"), &QAction::triggered, this, &FrmMenu::btnSalirClick);
    connect(accion("nmAcerca"), &QAction::triggered, this, &FrmMenu::nmAcercaClick);
}

// Each menu entry runs the handler of its button.
void FrmMenu::btnEdicionClick() {
    ventanas_.ocultar(Id::Menu);
    ventanas_.cargar(Id::Edicion);
    ventanas_.mostrar(Id::Edicion);
}

void FrmMenu::btnBuscarClick() {
    ventanas_.ocultar(Id::Menu);
    ventanas_.cargar(Id::Buscar);
    ventanas_.mostrar(Id::Buscar);
}

// The main menu is destroyed on the way to the full list and built again on
// the way back.
void FrmMenu::btnListaClick() {
    ventanas_.ocultar(Id::Menu);
    ventanas_.descargar(Id::Menu);
    ventanas_.cargar(Id::Lista);
    ventanas_.mostrar(Id::Lista);
}

void FrmMenu::btnSalirClick() {
    if (Mensaje(QStringLiteral("¿Desea salir?"), Botones::SiNo) == Respuesta::Si) {
        ventanas_.terminar();
    }
}

void FrmMenu::nmAcercaClick() {
    Mensaje(QStringLiteral("FOLIOTECA 1.0\nCatálogo de fichas de libros"));
}

// Closing the main menu through its frame asks the exit question, as "SALIR"
// does: hidden windows must not be left running with nothing on the screen.
void FrmMenu::alCerrarMarco() {
    btnSalirClick();
}

} // namespace app
