// The main menu and the record-editing menu: their layouts, menu bar,
// shortcuts, navigation, the exit question and the buttons that do nothing.
#include "app/mensaje.h"
#include "app/ventanas.h"
#include "tests/soporte/ventanas.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

using app::Id;
using app::Tipo;
using prueba::Procesar;

namespace {

constexpr app::Control kMenu[] = {
    {"btnSalir", Tipo::Boton, "SALIR", 2880, 6120, 6135, 495, 11},
    {"Picture6", Tipo::CuadroImagen, "", 2040, 6120, 540, 540, 10},
    {"Command5", Tipo::Boton, "OPCIONES", 2880, 4560, 6135, 495, 9},
    {"Picture5", Tipo::CuadroImagen, "", 2040, 4560, 540, 540, 8},
    {"btnLista", Tipo::Boton, "VER LISTA COMPLETA DE LIBROS", 2880, 3840, 6135, 495, 7},
    {"Picture4", Tipo::CuadroImagen, "", 2040, 3840, 540, 540, 6},
    {"Command3", Tipo::Boton, "PRESTAMO DE LIBROS", 2880, 3120, 6135, 495, 5},
    {"Picture3", Tipo::CuadroImagen, "", 2040, 3120, 540, 540, 4},
    {"btnBuscar", Tipo::Boton, "BUSQUEDA DE FICHAS", 2880, 2400, 6135, 495, 3},
    {"Picture2", Tipo::CuadroImagen, "", 2040, 2400, 540, 540, 2},
    {"btnEdicion", Tipo::Boton, "EDICIÓN DE FICHAS", 2880, 1680, 6135, 495, 1},
    {"Picture1", Tipo::CuadroImagen, "", 2040, 1680, 540, 540, 0},
};

constexpr app::Control kEdicion[] = {
    {"btnVolver", Tipo::Boton, "VOLVER AL MENU PRINCIPAL", 2880, 4920, 6255, 495, 3},
    {"Command3", Tipo::Boton, "ELIMINAR UNA FICHA", 2880, 3600, 6255, 495, 2},
    {"Command2", Tipo::Boton, "MODIFICAR UNA FICHA", 2880, 2880, 6255, 495, 1},
    {"btnCrear", Tipo::Boton, "CREAR UNA FICHA", 2880, 2160, 6255, 495, 0},
    {"Image4", Tipo::Imagen, "", 2040, 4920, 615, 495, -1},
    {"Image3", Tipo::Imagen, "", 2040, 3600, 615, 495, -1},
    {"Image2", Tipo::Imagen, "", 2040, 2880, 615, 495, -1},
    {"Image1", Tipo::Imagen, "", 2040, 2160, 615, 495, -1},
};

// The menu bar, menu by menu; an entry without a caption is the separator.
struct EntradaBarra {
    const char* menu;
    const char* nombre;
    const char* texto;
    const char* atajo;
};
constexpr EntradaBarra kBarra[] = {
    {"MENÚ", "mnEdicion", "Edición de fichas", "Ctrl+E"},
    {"MENÚ", "mnBusqueda", "Busqueda de fichas", "Ctrl+B"},
    {"MENÚ", "mnPrestam", "Prestamo de libros", "Ctrl+P"},
    {"MENÚ", "mnLista", "Lista completa de libros", "Ctrl+L"},
    {"MENÚ", "mnOpciones", "Opciones", "Ctrl+O"},
    {"MENÚ", "mnLinea", "", ""},
    {"MENÚ", "mnSalir", "Salir", "Ctrl+X"},
    {"AYUDA", "nmAcerca", "Acerca de...", "Ctrl+C"},
};

app::Ventana& Menu(prueba::Programa& p) {
    auto& v = p.ventanas;
    if (!v.cargada(Id::Menu)) {
        v.cargar(Id::Menu);
        v.mostrar(Id::Menu);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&v.obtener(Id::Menu)));
    }
    return v.obtener(Id::Menu);
}

QAction* Entrada(prueba::Programa& p, const char* nombre) {
    return Menu(p).findChild<QAction*>(QString::fromLatin1(nombre));
}

void Pulsar(prueba::Programa& p, Id id, const char* boton) {
    QTest::mouseClick(p.ventanas.obtener(id).control<QPushButton>(boton), Qt::LeftButton);
}

// Ctrl and a letter, pressed on the main menu.
void Atajo(prueba::Programa& p, char letra) {
    // Shortcuts act only in the active window; a closed message box may have
    // left none active.
    Menu(p).activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Menu(p)));
    QTest::keyClick(&Menu(p), static_cast<Qt::Key>(Qt::Key_A + (letra - 'A')), Qt::ControlModifier);
}

class Menus : public ::testing::Test {
  protected:
    prueba::DirTemporal dir;
    prueba::Programa programa;

    app::Ventana& menu() { return Menu(programa); }
    app::Ventana& ventana(Id id) { return programa.ventanas.obtener(id); }
    QAction* entrada(const char* nombre) { return Entrada(programa, nombre); }
    void pulsar(Id id, const char* boton) { Pulsar(programa, id, boton); }
    void atajo(char letra) { Atajo(programa, letra); }
};

TEST_F(Menus, MainMenuIsBuiltFromItsTableWithTheMenuFontAndIcons) {
    app::Ventana& m = menu();
    EXPECT_EQ(m.windowTitle(), QStringLiteral("MENÚ"));
    EXPECT_TRUE(m.isMaximized());
    prueba::VerificarTabla(m, kMenu);
    for (const app::Control& c : kMenu) {
        SCOPED_TRACE(c.nombre);
        if (auto* b = m.control<QPushButton>(c.nombre)) {
            EXPECT_EQ(b->font().family(), QStringLiteral("MS Sans Serif"));
            EXPECT_EQ(b->font().pointSize(), 12);
            EXPECT_EQ(b->font().weight(), QFont::Normal);
        } else {
            auto* p = m.control<QLabel>(c.nombre);
            EXPECT_EQ(p->pixmap().size(), QSize(32, 32));
        }
    }
}

TEST_F(Menus, MenuBarHasTheEntriesCaptionsAndShortcutsInOrder) {
    const QList<QAction*> titulos = menu().menuBar()->actions();
    ASSERT_EQ(titulos.size(), 2);
    EXPECT_EQ(titulos[0]->menu()->objectName(), QStringLiteral("mnMenu"));
    EXPECT_EQ(titulos[1]->menu()->objectName(), QStringLiteral("nmAyuda"));
    QList<QAction*> entradas;
    for (QAction* t : titulos) {
        for (QAction* e : t->menu()->actions()) {
            entradas << e;
        }
    }
    ASSERT_EQ(entradas.size(), std::ssize(kBarra));
    for (int i = 0; i < entradas.size(); ++i) {
        const EntradaBarra& e = kBarra[i];
        SCOPED_TRACE(e.nombre);
        QAction* a = entradas[i];
        EXPECT_EQ(a->objectName(), QString::fromLatin1(e.nombre));
        EXPECT_EQ(qobject_cast<QMenu*>(a->parent())->title(), QString::fromUtf8(e.menu));
        EXPECT_EQ(a->isSeparator(), *e.texto == '\0');
        EXPECT_EQ(a->text(), QString::fromUtf8(e.texto));
        EXPECT_EQ(a->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(e.atajo));
        EXPECT_FALSE(a->text().contains('&'));
    }
}

TEST_F(Menus, MainMenuFocusStartsOnPicture1AndTabWrapsFromSalir) {
    app::Ventana& m = menu();
    auto* primero = m.control("Picture1");
    EXPECT_EQ(m.focusWidget(), primero);
    EXPECT_EQ(prueba::CadenaFoco(primero, 13),
              QStringList({"Picture1", "btnEdicion", "Picture2", "btnBuscar", "Picture3",
                           "Command3", "Picture4", "btnLista", "Picture5", "Command5", "Picture6",
                           "btnSalir", "Picture1"}));
}

// Button, menu entry and shortcut of each choice reach the same window, with
// the main menu kept, or destroyed on the way to the full list.
TEST(MenusNavegacion, EveryWayOfEachChoiceOpensItsWindow) {
    using P = prueba::Programa;
    struct Caso {
        const char* via;
        std::function<void(P&)> disparar;
        const char* visible;
        const char* cargadas;
    };
    const Caso casos[] = {
        {"btnEdicion", [](P& p) { Pulsar(p, Id::Menu, "btnEdicion"); }, "frmEdicion", "0110000"},
        {"mnEdicion", [](P& p) { Entrada(p, "mnEdicion")->trigger(); }, "frmEdicion", "0110000"},
        {"Ctrl+E", [](P& p) { Atajo(p, 'E'); }, "frmEdicion", "0110000"},
        {"btnBuscar", [](P& p) { Pulsar(p, Id::Menu, "btnBuscar"); }, "frmBuscar", "0100100"},
        {"mnBusqueda", [](P& p) { Entrada(p, "mnBusqueda")->trigger(); }, "frmBuscar", "0100100"},
        {"Ctrl+B", [](P& p) { Atajo(p, 'B'); }, "frmBuscar", "0100100"},
        {"btnLista", [](P& p) { Pulsar(p, Id::Menu, "btnLista"); }, "frmLista", "0000001"},
        {"mnLista", [](P& p) { Entrada(p, "mnLista")->trigger(); }, "frmLista", "0000001"},
        {"Ctrl+L", [](P& p) { Atajo(p, 'L'); }, "frmLista", "0000001"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.via);
        prueba::DirTemporal dir;
        P programa;
        Menu(programa);
        c.disparar(programa);
        Procesar();
        EXPECT_EQ(programa.cargadas(), c.cargadas);
        EXPECT_EQ(P::visibles(), QStringList({c.visible}));
        EXPECT_FALSE(programa.terminado);
    }
}

TEST_F(Menus, ExitQuestionAnsweredNoLeavesTheMenuAsItWas) {
    app::Ventana& m = menu();
    m.control("btnBuscar")->setFocus();
    const std::pair<const char*, std::function<void()>> vias[] = {
        {"btnSalir", [&] { pulsar(Id::Menu, "btnSalir"); }},
        {"mnSalir", [&] { entrada("mnSalir")->trigger(); }},
        {"Ctrl+X", [&] { atajo('X'); }},
        {"marco", [&] { m.close(); }}, // the frame asks the same question
    };
    for (const auto& [nombre, via] : vias) {
        SCOPED_TRACE(nombre);
        prueba::Cuadro cuadro;
        prueba::Responder(cuadro, QStringLiteral("No"));
        via();
        Procesar();
        EXPECT_TRUE(cuadro.visto);
        EXPECT_EQ(cuadro.texto, QStringLiteral("¿Desea salir?"));
        EXPECT_EQ(cuadro.titulo, QString::fromLatin1(app::kTituloAplicacion));
        EXPECT_EQ(cuadro.botones, QStringList({"Sí", "No"}));
        EXPECT_FALSE(cuadro.conIcono);
        EXPECT_FALSE(programa.terminado);
        EXPECT_EQ(programa.cargadas(), "0100000");
        EXPECT_TRUE(m.isVisible());
    }
    // "SALIR" took the focus when clicked; the answer No leaves it there.
    EXPECT_EQ(m.focusWidget(), m.control("btnSalir"));
}

TEST_F(Menus, ExitQuestionIgnoresEscAndTheFrameUntilAnswered) {
    menu();
    bool seguiaAbierto = false;
    QTimer::singleShot(20, [&] {
        auto* caja = qobject_cast<app::CuadroMensaje*>(QApplication::activeModalWidget());
        ASSERT_NE(caja, nullptr);
        QTest::keyClick(caja, Qt::Key_Escape);
        caja->close();
        Procesar();
        seguiaAbierto = QApplication::activeModalWidget() == caja && caja->isVisible();
        for (QAbstractButton* b : caja->buttons()) {
            if (b->text() == QStringLiteral("No")) {
                b->click();
            }
        }
    });
    pulsar(Id::Menu, "btnSalir");
    EXPECT_TRUE(seguiaAbierto);
    EXPECT_FALSE(programa.terminado);
}

TEST_F(Menus, ExitQuestionAnsweredYesEndsEvenWithTheEditingMenuKept) {
    // Main menu, editing menu, new record, back to the main menu: the editing
    // menu is still loaded and hidden when the user leaves.
    menu();
    pulsar(Id::Menu, "btnEdicion");
    pulsar(Id::Edicion, "btnCrear");
    pulsar(Id::Crear, "btnVolver");
    Procesar();
    ASSERT_EQ(programa.cargadas(), "0110000");
    prueba::Cuadro cuadro;
    prueba::Responder(cuadro, QStringLiteral("Sí"));
    atajo('X');
    Procesar();
    EXPECT_TRUE(programa.terminado);
    EXPECT_EQ(programa.cargadas(), "0000000");
    EXPECT_TRUE(prueba::Programa::visibles().isEmpty());
}

TEST_F(Menus, AboutMessageShowsTheProgramAndChangesNothing) {
    app::Ventana& m = menu();
    const std::function<void()> vias[] = {[&] { entrada("nmAcerca")->trigger(); },
                                          [&] { atajo('C'); }};
    for (const auto& via : vias) {
        prueba::Cuadro cuadro;
        prueba::Responder(cuadro, QStringLiteral("Aceptar"));
        via();
        Procesar();
        EXPECT_TRUE(cuadro.visto);
        EXPECT_EQ(cuadro.texto, QStringLiteral("FOLIOTECA 1.0\nCatálogo de fichas de libros"));
        EXPECT_EQ(cuadro.botones, QStringList({"Aceptar"}));
        EXPECT_FALSE(cuadro.conIcono);
        EXPECT_EQ(programa.cargadas(), "0100000");
        EXPECT_TRUE(m.isVisible());
    }
}

TEST_F(Menus, LendingOptionsAndPicturesDoNothing) {
    app::Ventana& m = menu();
    prueba::Vigia vigia;
    pulsar(Id::Menu, "Command3");
    pulsar(Id::Menu, "Command5");
    entrada("mnPrestam")->trigger();
    entrada("mnOpciones")->trigger();
    atajo('P');
    atajo('O');
    for (int i = 1; i <= 6; ++i) {
        QTest::mouseClick(m.control(QStringLiteral("Picture%1").arg(i).toLatin1().constData()),
                          Qt::LeftButton);
    }
    QTest::qWait(30);
    Procesar();
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(programa.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmMenu"}));
    EXPECT_FALSE(std::filesystem::exists("fichas.dat"));
}

TEST_F(Menus, EditingMenuIsBuiltFromItsTableWithStretchedIcons) {
    menu();
    pulsar(Id::Menu, "btnEdicion");
    app::Ventana& e = ventana(Id::Edicion);
    EXPECT_EQ(e.windowTitle(), QStringLiteral("EDICIÓN"));
    EXPECT_TRUE(e.isMaximized());
    prueba::VerificarTabla(e, kEdicion);
    for (const app::Control& c : kEdicion) {
        SCOPED_TRACE(c.nombre);
        if (auto* b = e.control<QPushButton>(c.nombre)) {
            EXPECT_EQ(b->font().family(), QStringLiteral("MS Sans Serif"));
            EXPECT_EQ(b->font().pointSize(), 12);
            EXPECT_FALSE(b->font().bold() || b->font().italic() || b->font().underline() ||
                         b->font().strikeOut());
        } else {
            auto* i = e.control<QLabel>(c.nombre);
            EXPECT_EQ(i->pixmap().size(), QSize(32, 32));
            EXPECT_TRUE(i->hasScaledContents());
        }
    }
    EXPECT_EQ(e.focusWidget(), e.control("btnCrear"));
    EXPECT_EQ(prueba::CadenaFoco(e.control("btnCrear"), 5),
              QStringList({"btnCrear", "Command2", "Command3", "btnVolver", "btnCrear"}));
}

TEST_F(Menus, EditingMenuModifyAndDeleteDoNothing) {
    menu();
    pulsar(Id::Menu, "btnEdicion");
    prueba::Vigia vigia;
    pulsar(Id::Edicion, "Command2");
    pulsar(Id::Edicion, "Command3");
    QTest::qWait(30);
    Procesar();
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(programa.cargadas(), "0110000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmEdicion"}));
    EXPECT_FALSE(std::filesystem::exists("fichas.dat"));
}

TEST_F(Menus, EditingMenuReturnsToTheKeptMainMenuWithItsFocus) {
    app::Ventana& m = menu();
    QPointer<app::Ventana> antes = &m;
    pulsar(Id::Menu, "btnEdicion"); // the click gives the button the focus
    prueba::Vigia vigia;
    for (const char* via : {"btnVolver", "marco"}) {
        SCOPED_TRACE(via);
        if (!programa.ventanas.cargada(Id::Edicion)) {
            pulsar(Id::Menu, "btnEdicion");
        }
        if (std::string_view(via) == "marco") {
            ventana(Id::Edicion).close();
        } else {
            pulsar(Id::Edicion, "btnVolver");
        }
        Procesar();
        EXPECT_EQ(programa.cargadas(), "0100000");
        EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmMenu"}));
        EXPECT_EQ(&ventana(Id::Menu), antes.data());
        EXPECT_EQ(m.focusWidget(), m.control("btnEdicion"));
    }
    EXPECT_EQ(vigia.cuadros, 0);
}

TEST_F(Menus, NewRecordReturnsToTheMainMenuAndTheSameEditingMenuComesBack) {
    menu();
    pulsar(Id::Menu, "btnEdicion");
    QPointer<app::Ventana> edicion = &ventana(Id::Edicion);
    pulsar(Id::Edicion, "btnCrear");
    EXPECT_EQ(programa.cargadas(), "0111000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmCrear"}));
    pulsar(Id::Crear, "btnVolver");
    Procesar();
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmMenu"}));
    EXPECT_EQ(programa.cargadas(), "0110000");
    pulsar(Id::Menu, "btnEdicion");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmEdicion"}));
    EXPECT_EQ(&ventana(Id::Edicion), edicion.data());
}

} // namespace
