// The window table, its five operations, the end rule, the title window and
// the message box.
#include "app/cuadro_imagen.h"
#include "app/frm_inicio.h"
#include "app/mensaje.h"
#include "app/ventanas.h"
#include "tests/soporte/ventanas.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using app::Id;
using prueba::Procesar;

namespace {

constexpr app::Control kDos[] = {
    {"txtUno", app::Tipo::Texto, "", 0, 0, 1500, 285, 1},
    {"Label1", app::Tipo::Etiqueta, "Uno", 0, 400, 1500, 255, 0},
    {"txtDos", app::Tipo::Texto, "", 0, 800, 1500, 285, 2},
};

// A window that records what the operations run in it.
struct Registro {
    int cargas = 0, cierres = 0;
};

class VentanaPrueba : public app::Ventana {
  public:
    VentanaPrueba(app::Ventanas& v, Id id, Registro& r)
        : Ventana(v, id, "frmPrueba", "PRUEBA", kDos), r_(r) {}
    void alCargar() override { ++r_.cargas; }
    void alPedirCierre() override { ++r_.cierres; }
    void alCerrarMarco() override { ventanas_.descargar(id()); }

  private:
    Registro& r_;
};

struct Tabla {
    Tabla() {
        for (int i = 0; i < app::kVentanas; ++i) {
            v.registrar(static_cast<Id>(i), [this, i](app::Ventanas& t) {
                return new VentanaPrueba(t, static_cast<Id>(i), r[i]);
            });
        }
        v.salir = [this](int) { terminado = true; };
    }
    ~Tabla() { Procesar(); }
    app::Ventanas v;
    Registro r[app::kVentanas];
    bool terminado = false;
};

} // namespace

TEST(Operaciones, LoadBuildsOnceAndRunsTheLoadEventInside) {
    Tabla t;
    t.v.cargar(Id::Crear);
    EXPECT_EQ(t.r[3].cargas, 1);
    EXPECT_FALSE(t.v.obtener(Id::Crear).isVisible());
    app::Ventana* primera = &t.v.obtener(Id::Crear);
    t.v.cargar(Id::Crear);
    t.v.mostrar(Id::Crear);
    EXPECT_EQ(t.r[3].cargas, 1);
    EXPECT_EQ(&t.v.obtener(Id::Crear), primera);
}

TEST(Operaciones, HideOfAWindowNotLoadedLoadsItHiddenAndUnloadDestroysIt) {
    Tabla t;
    t.v.cargar(Id::Menu); // keeps the program alive
    t.v.ocultar(Id::Buscar);
    EXPECT_TRUE(t.v.cargada(Id::Buscar));
    EXPECT_EQ(t.r[4].cargas, 1);
    EXPECT_FALSE(t.v.obtener(Id::Buscar).isVisible());
    QPointer<app::Ventana> buscar = &t.v.obtener(Id::Buscar);
    t.v.descargar(Id::Buscar);
    EXPECT_EQ(t.r[4].cierres, 1);
    EXPECT_FALSE(t.v.cargada(Id::Buscar));
    Procesar();
    EXPECT_TRUE(buscar.isNull());
    t.v.descargar(Id::Buscar); // not loaded: nothing
    EXPECT_EQ(t.r[4].cierres, 1);
    t.v.cargar(Id::Buscar); // loaded afresh
    EXPECT_EQ(t.r[4].cargas, 2);
    EXPECT_FALSE(t.terminado);
}

TEST(Operaciones, ShowMaximizesAndRestoresTheFocusOnlyForAKeptWindow) {
    Tabla t;
    t.v.mostrar(Id::Menu);
    auto& menu = t.v.obtener(Id::Menu);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_TRUE(menu.windowState() & Qt::WindowMaximized);
    // Labels never take the focus; the tab column decides the first control.
    EXPECT_EQ(menu.focusWidget()->objectName(), "txtUno");
    EXPECT_EQ(prueba::CadenaFoco(menu.control("txtUno"), 3),
              QStringList({"txtUno", "txtDos", "txtUno"}));
    menu.control("txtDos")->setFocus();
    t.v.ocultar(Id::Menu);
    t.v.mostrar(Id::Menu);
    EXPECT_EQ(menu.focusWidget()->objectName(), "txtDos");

    t.v.mostrar(Id::Lista); // keeps the program alive
    t.v.ocultar(Id::Menu);
    t.v.descargar(Id::Menu);
    t.v.mostrar(Id::Menu);
    EXPECT_EQ(t.v.obtener(Id::Menu).focusWidget()->objectName(), "txtUno");
}

// A control a window keeps for its handlers is bound once, as it is built: a
// misspelt name or a control of another kind stops the program there, naming
// the window and the control, instead of failing later in a handler.
TEST(EnlazarDeathTest, AMissingOrMistypedControlStopsTheProgramNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Tabla t;
    t.v.cargar(Id::Crear);
    const app::Ventana& w = t.v.obtener(Id::Crear);
    EXPECT_EQ(w.enlazar<QLineEdit>("txtUno"), w.control<QLineEdit>("txtUno"));
    EXPECT_DEATH(w.enlazar<QLineEdit>("txtTres"), "frmPrueba has no QLineEdit named txtTres");
    EXPECT_DEATH(w.enlazar<QPushButton>("txtUno"), "frmPrueba has no QPushButton named txtUno");
}

TEST(FinDelPrograma, EndsWhenAHandlerLeavesNoWindowLoadedAndNotInBetween) {
    Tabla t;
    t.v.mostrar(Id::Inicio);
    t.v.ocultar(Id::Inicio);
    t.v.descargar(Id::Inicio);
    t.v.cargar(Id::Menu); // same handler: the program goes on
    t.v.mostrar(Id::Menu);
    Procesar();
    EXPECT_FALSE(t.terminado);

    t.v.obtener(Id::Menu).close(); // through the frame: unloads the last window
    EXPECT_FALSE(t.terminado);     // not before the event has been handled
    Procesar();
    EXPECT_TRUE(t.terminado);
}

TEST(FinDelPrograma, EndDestroysEveryWindowVisibleOrHidden) {
    Tabla t;
    t.v.mostrar(Id::Menu);
    t.v.ocultar(Id::Menu);
    t.v.mostrar(Id::Edicion);
    t.v.terminar();
    EXPECT_TRUE(t.terminado);
    EXPECT_TRUE(t.v.ninguna());
    EXPECT_EQ(t.r[1].cierres + t.r[2].cierres, 0); // no close request runs
    Procesar();
    EXPECT_TRUE(prueba::Programa::visibles().isEmpty());
}

class Inicio : public ::testing::Test {
  protected:
    void SetUp() override {
        p.ventanas.cargar(Id::Inicio);
        p.ventanas.mostrar(Id::Inicio);
    }
    prueba::DirTemporal dir;
    prueba::Programa p;
};

TEST_F(Inicio, StartsWithTheTitleWindowAloneMaximizedWithThePictureFocused) {
    EXPECT_EQ(p.cargadas(), "1000000");
    auto& inicio = p.ventanas.obtener(Id::Inicio);
    EXPECT_EQ(inicio.windowTitle(), "FOLIOTECA 1.0 FOR WINDOWS 95");
    EXPECT_TRUE(inicio.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(inicio.windowIcon().isNull());
    auto* imagen = inicio.control<app::CuadroImagen>("btnInicio");
    EXPECT_EQ(imagen->geometry(), QRect(0, 0, 804, 604));
    EXPECT_EQ(imagen->pixmap().size(), QSize(800, 600));
    EXPECT_EQ(inicio.focusWidget(), imagen);
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmInicio"});
}

TEST_F(Inicio, AClickOnThePictureReplacesTheTitleWindowByTheMainMenu) {
    QPointer<app::Ventana> inicio = &p.ventanas.obtener(Id::Inicio);
    QTest::mouseClick(inicio->control("btnInicio"), Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_EQ(p.cargadas(), "0100000");
    Procesar();
    EXPECT_TRUE(inicio.isNull());
    EXPECT_FALSE(p.terminado);
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_TRUE(p.ventanas.obtener(Id::Menu).windowState() & Qt::WindowMaximized);
}

TEST_F(Inicio, KeysAndClicksBesideThePictureDoNothing) {
    auto& inicio = p.ventanas.obtener(Id::Inicio);
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape, Qt::Key_A}) {
        QTest::keyClick(inicio.control("btnInicio"), k);
    }
    QTest::mouseClick(inicio.cliente(), Qt::LeftButton, {}, QPoint(900, 700));
    Procesar();
    EXPECT_EQ(p.cargadas(), "1000000");
    EXPECT_FALSE(p.terminado);
}

TEST_F(Inicio, ClosingTheTitleWindowEndsTheProgramWithoutTheMainMenu) {
    p.ventanas.obtener(Id::Inicio).close();
    Procesar();
    EXPECT_TRUE(p.terminado);
    EXPECT_EQ(p.cargadas(), "0000000");
}

TEST(Mensaje, YesNoBoxHasTheTitleNoIconAndCannotBeDismissedWithoutAnAnswer) {
    app::CuadroMensaje caja(QString::fromUtf8("¿Desea salir?"), app::Botones::SiNo);
    caja.show();
    EXPECT_EQ(caja.windowTitle(), "KODEXA");
    EXPECT_EQ(caja.icon(), QMessageBox::NoIcon);
    ASSERT_EQ(caja.buttons().size(), 2);
    EXPECT_EQ(caja.defaultButton()->text(), QString::fromUtf8("Sí"));
    QTest::keyClick(&caja, Qt::Key_Escape);
    caja.close();
    Procesar();
    EXPECT_TRUE(caja.isVisible());
    EXPECT_EQ(caja.clickedButton(), nullptr);
    for (QAbstractButton* b : caja.buttons()) {
        if (b->text() == "No") {
            b->click();
        }
    }
    EXPECT_FALSE(caja.isVisible());
    EXPECT_EQ(caja.respuesta(), app::Respuesta::No);
}

TEST(Mensaje, ModalBoxReturnsTheButtonPressed) {
    struct Caso {
        app::Botones botones;
        const char* boton;
        app::Respuesta respuesta;
    } casos[] = {{app::Botones::SiNo, "Sí", app::Respuesta::Si},
                 {app::Botones::SiNo, "No", app::Respuesta::No},
                 {app::Botones::Aceptar, "Aceptar", app::Respuesta::Aceptar}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.boton);
        prueba::Cuadro visto;
        prueba::Responder(visto, QString::fromUtf8(c.boton));
        EXPECT_EQ(app::Mensaje(QStringLiteral("Texto"), c.botones), c.respuesta);
        EXPECT_TRUE(visto.visto);
        EXPECT_EQ(visto.titulo, "KODEXA");
        EXPECT_EQ(visto.texto, "Texto");
        EXPECT_FALSE(visto.conIcono);
    }
}
