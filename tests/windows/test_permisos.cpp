// A record file the program may read but not write, for real although the
// tests run as root: the list, the search and the card still work; a save
// shows its failure box, keeps the typed card and changes nothing.
#include "store/ficha.h"
#include "tests/soporte/ventanas.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using app::Id;
using prueba::Procesar;

namespace {

std::string Catalogo() {
    std::string s;
    for (int n = 1; n <= 3; ++n) {
        store::Ficha f;
        f.Numero = n;
        f.Titulo = "t" + std::to_string(n);
        f.Autor = "a" + std::to_string(n);
        s += store::Linea(f);
    }
    return s;
}

struct Caso {
    const char* nombre;
    const char* causa; // the second line of the failure box
    bool montaje;      // a read-only mount; otherwise root acts as another user
};

void PrintTo(const Caso& caso, std::ostream* os) {
    *os << caso.nombre;
}

class Permisos : public ::testing::TestWithParam<Caso> {
  protected:
    void SetUp() override {
        prueba::Escribir(Catalogo());
        ASSERT_EQ(chmod("fichas.dat", 0444), 0);
        if (GetParam().montaje) {
            MontarSoloLectura();
        } else {
            HacerseOtro();
        }
    }
    void TearDown() override {
        if (montado_) {
            ASSERT_EQ(chdir("/"), 0);
            umount2(dir.ruta().c_str(), MNT_DETACH);
            ASSERT_EQ(chdir(dir.ruta().c_str()), 0);
        }
        if (otro_) {
            setfsuid(0);
            setfsgid(0);
        }
    }

    // The scratch directory mounted over itself read-only, in a mount
    // namespace of this thread's own, which is the one the handlers run in.
    void MontarSoloLectura() {
        const char* ruta = dir.ruta().c_str();
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount(ruta, ruta, nullptr, MS_BIND, nullptr) != 0) {
            GTEST_SKIP() << "a read-only bind mount needs a private mount namespace, not allowed "
                            "here: "
                         << std::strerror(errno)
                         << " (a directory named fichas.dat is tested in test_crear)";
        }
        montado_ = true;
        ASSERT_EQ(mount(nullptr, ruta, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr), 0)
            << std::strerror(errno);
        ASSERT_EQ(chdir(ruta), 0); // into the mount, not the directory beneath it
    }

    // File checks as the unprivileged user: the file system ids of this
    // thread only, which also drop root's power to override permissions.
    void HacerseOtro() {
        ASSERT_EQ(chmod(".", 0755), 0);
        setfsgid(65534);
        setfsuid(65534);
        if (static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))) != 65534) {
            GTEST_SKIP() << "cannot take another user's file system id here";
        }
        otro_ = true;
    }

    app::Ventana& v(Id id) { return p.ventanas.obtener(id); }
    int Filas(Id id, const char* lista) {
        return v(id).control<QListView>(lista)->model()->rowCount();
    }
    void Pulsar(Id id, const char* boton) {
        v(id).control<QPushButton>(boton)->click();
        Procesar();
    }

    prueba::DirTemporal dir;
    prueba::Programa p;

  private:
    bool montado_ = false;
    bool otro_ = false;
};

} // namespace

TEST_P(Permisos, ListSearchAndCardWorkAndASaveSaysWhyAndKeepsTheCard) {
    // The full list.
    p.ventanas.cargar(Id::Lista);
    p.ventanas.mostrar(Id::Lista);
    EXPECT_EQ(Filas(Id::Lista, "LstAutor"), 3);
    EXPECT_EQ(v(Id::Lista).control<QLineEdit>("txtNumero")->text(), "3");
    Pulsar(Id::Lista, "btnVolver");

    // The search, then opening a card.
    Pulsar(Id::Menu, "btnBuscar");
    v(Id::Buscar).control<QRadioButton>("optTitulo")->setChecked(true);
    v(Id::Buscar).control<QLineEdit>("txtBuscar")->setText("t");
    Pulsar(Id::Buscar, "btnBuscar");
    EXPECT_EQ(v(Id::Buscar).control<QLineEdit>("txtNtotal")->text(), "3");
    EXPECT_EQ(Filas(Id::Buscar, "LstTitulo"), 3);
    v(Id::Buscar).control<QLineEdit>("txtNlista")->setText("2");
    Pulsar(Id::Buscar, "btnAbrir");
    ASSERT_EQ(prueba::Programa::visibles(), QStringList{"frmFicha"});
    EXPECT_EQ(v(Id::Ficha).control<QLineEdit>("txtAutor")->text(), "a2");
    Pulsar(Id::Ficha, "btnVolver");

    // A new card: the box says why, the typed texts stay, the file is as it was.
    Pulsar(Id::Menu, "btnEdicion");
    Pulsar(Id::Edicion, "btnCrear");
    ASSERT_EQ(prueba::Programa::visibles(), QStringList{"frmCrear"});
    EXPECT_EQ(v(Id::Crear).control<QLineEdit>("txtNumero")->text(), "4");
    prueba::Teclear(v(Id::Crear).control<QLineEdit>("txtTitulo"), QStringLiteral("Nueva"));
    prueba::Teclear(v(Id::Crear).control<QPlainTextEdit>("txtComentario"), QStringLiteral("nota"));
    prueba::Cuadro cuadro;
    prueba::Responder(cuadro, QStringLiteral("Aceptar"));
    Pulsar(Id::Crear, "btnGuardar");
    EXPECT_TRUE(cuadro.visto);
    EXPECT_EQ(cuadro.texto, QStringLiteral("NO SE HA PODIDO GUARDAR LA FICHA\n") +
                                QString::fromUtf8(GetParam().causa));
    EXPECT_EQ(cuadro.botones, QStringList{"Aceptar"});
    EXPECT_FALSE(p.terminado);
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmCrear"});
    EXPECT_EQ(v(Id::Crear).control<QLineEdit>("txtTitulo")->text(), "Nueva");
    EXPECT_EQ(v(Id::Crear).control<QPlainTextEdit>("txtComentario")->toPlainText(), "nota");
    EXPECT_EQ(prueba::Contenido(), Catalogo());
    Pulsar(Id::Crear, "btnVolver");
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Permisos,
    ::testing::Values(Caso{"ReadOnlyMount", "El disco es de solo lectura.", true},
                      Caso{"AnotherUsersReadOnlyFile",
                           "No tiene permiso para escribir en fichas.dat.", false}),
    [](const auto& info) { return std::string(info.param.nombre); });
