// The full list window: its layout, the filling on load and the way back.
#include "app/texto.h"
#include "store/ficha.h"
#include "tests/soporte/ventanas.h"
#include "windows/frm_lista.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <optional>
#include <string>

using app::Id;
using prueba::Procesar;

using prueba::B;
using prueba::Filas;

namespace {

// The design's layout, kept here as the oracle rather than read from the window.
constexpr app::Control kLista[] = {
    {"btnVolver", app::Tipo::Boton, "VOLVER", 5400, 7440, 1215, 495, 13},
    {"LstAutor", app::Tipo::Lista, "", 120, 960, 3375, 6300, 6},
    {"LstTitulo", app::Tipo::Lista, "", 3480, 960, 3855, 6300, 5},
    {"LstEditorial", app::Tipo::Lista, "", 7320, 960, 1695, 6300, 4},
    {"LstCodigo", app::Tipo::Lista, "", 9000, 960, 1095, 6300, 3},
    {"LstTema", app::Tipo::Lista, "", 10080, 960, 1695, 6300, 2},
    {"txtNumero", app::Tipo::TextoLectura, "", 1440, 240, 1215, 285, 1},
    {"Label5", app::Tipo::Etiqueta, "Nº", 120, 720, 255, 255, 12},
    {"Label6", app::Tipo::Etiqueta, "Autor", 480, 720, 3015, 255, 11},
    {"Label7", app::Tipo::Etiqueta, "Título", 3600, 720, 3615, 255, 10},
    {"Label8", app::Tipo::Etiqueta, "Editorial", 7320, 720, 1695, 255, 9},
    {"Label9", app::Tipo::Etiqueta, "Código", 9000, 720, 975, 255, 8},
    {"Label10", app::Tipo::Etiqueta, "Tema", 10080, 720, 1575, 255, 7},
    {"Label1", app::Tipo::Etiqueta, "Nº fichas", 120, 240, 1215, 255, 0},
};

// One line of the record file with the texts the lists show, in their order
// (UTF-8 here, the file's code page there); the other texts empty.
std::string Linea(std::int64_t numero, const char* autor, const char* titulo = "",
                  const char* editorial = "", const char* codigo = "", const char* tema = "") {
    store::Ficha f;
    f.Numero = numero;
    f.Autor = B(autor);
    f.Titulo = B(titulo);
    f.Editorial = B(editorial);
    f.Codigo = B(codigo);
    f.Tema = B(tema);
    return store::Linea(f);
}

class Lista : public ::testing::Test {
  protected:
    // The way the main menu opens it: the menu is unloaded first.
    app::Ventana& Abrir() {
        p.ventanas.cargar(Id::Lista);
        p.ventanas.mostrar(Id::Lista);
        return p.ventanas.obtener(Id::Lista);
    }
    QString Numero() {
        return p.ventanas.obtener(Id::Lista).control<QLineEdit>("txtNumero")->text();
    }
    prueba::DirTemporal dir;
    prueba::Programa p;
};

} // namespace

TEST_F(Lista, IsBuiltFromItsTableWithTheFocusInTheNumberBox) {
    app::Ventana& v = Abrir();
    EXPECT_EQ(v.windowTitle(), "LISTA DE LIBROS");
    prueba::VerificarTabla(v, kLista);
    EXPECT_TRUE(v.control<QLineEdit>("txtNumero")->isReadOnly());
    EXPECT_EQ(v.focusWidget()->objectName(), "txtNumero");
    EXPECT_EQ(prueba::CadenaFoco(v.control("txtNumero"), 8),
              QStringList({"txtNumero", "LstTema", "LstCodigo", "LstEditorial", "LstTitulo",
                           "LstAutor", "btnVolver", "txtNumero"}));
}

TEST_F(Lista, EachCardGivesOneRowInEveryListWithTheCodeNotTheCopies) {
    const store::Ficha f{1,     "Rayuela", "Cortazar", "Sudamericana", "1963",
                         "600", "COPIAS",  "COD-1",    "Novela",       "nada"};
    prueba::Escribir(store::Linea(f));
    app::Ventana& v = Abrir();
    EXPECT_EQ(Filas(v, "LstAutor"), QStringList{"1 Cortazar"});
    EXPECT_EQ(Filas(v, "LstTitulo"), QStringList{"Rayuela"});
    EXPECT_EQ(Filas(v, "LstEditorial"), QStringList{"Sudamericana"});
    EXPECT_EQ(Filas(v, "LstCodigo"), QStringList{"COD-1"});
    EXPECT_EQ(Filas(v, "LstTema"), QStringList{"Novela"});
    EXPECT_EQ(Numero(), "1");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy cursor is gone
}

// What the file holds, and the rows and number box it gives.
struct CasoLista {
    const char* nombre;
    std::optional<std::string> archivo;
    QStringList autores, titulos;
    QString numero;
};
void PrintTo(const CasoLista& c, std::ostream* os) {
    *os << c.nombre;
}

class Contenidos : public Lista, public ::testing::WithParamInterface<CasoLista> {};

TEST_P(Contenidos, ListThePrefixUpToTheFirstCardNumberedZero) {
    const CasoLista& c = GetParam();
    if (c.archivo) {
        prueba::Escribir(*c.archivo);
    }
    app::Ventana& v = Abrir();
    EXPECT_EQ(Filas(v, "LstAutor"), c.autores);
    EXPECT_EQ(Filas(v, "LstTitulo"), c.titulos);
    for (const char* lista : {"LstEditorial", "LstCodigo", "LstTema"}) {
        EXPECT_EQ(Filas(v, lista).size(), c.autores.size()) << lista;
    }
    EXPECT_EQ(Numero(), c.numero);
}

INSTANTIATE_TEST_SUITE_P(
    Lista, Contenidos,
    ::testing::Values(
        CasoLista{"NoFile", std::nullopt, {}, {}, ""}, CasoLista{"EmptyFile", "", {}, {}, ""},
        CasoLista{"CardsOneToThree",
                  Linea(1, "Ana", "A") + Linea(2, "Luis", "B") + Linea(3, "Eva", "C"),
                  {"1 Ana", "2 Luis", "3 Eva"},
                  {"A", "B", "C"},
                  "3"},
        CasoLista{"TheBoxShowsTheLastNumberNotACount",
                  Linea(1, "", "A") + Linea(2, "", "B") + Linea(7, "", "C"),
                  {"1 ", "2 ", "7 "},
                  {"A", "B", "C"},
                  "7"},
        CasoLista{
            "EmptyAuthorKeepsTheBlank", Linea(5, "", "Sin autor"), {"5 "}, {"Sin autor"}, "5"},
        CasoLista{"ACardNumberedZeroEndsTheListing",
                  Linea(1, "", "A") + Linea(0, "", "B") + Linea(3, "", "C"),
                  {"1 "},
                  {"A"},
                  "1"},
        CasoLista{"AnEmptyNumberEndsTheListing",
                  Linea(1, "", "A") +
                      ",\"B\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
                      "\"\"\r\n" +
                      Linea(3, "", "C"),
                  {"1 "},
                  {"A"},
                  "1"},
        CasoLista{"AZeroFirstCardListsNothing", Linea(0, "", "A") + Linea(1, "", "B"), {}, {}, ""},
        CasoLista{"ABlankLineDoesNotEndTheListing",
                  Linea(1, "", "A") + Linea(2, "", "B") + "\r\n  \r\n" + Linea(3, "", "C"),
                  {"1 ", "2 ", "3 "},
                  {"A", "B", "C"},
                  "3"},
        CasoLista{"ACardCutShortIsNotListed", Linea(1, "", "A") + "2,\"B\",\"", {"1 "}, {"A"}, "1"},
        CasoLista{"TextsWithCommasStayWhole",
                  Linea(1, "Pérez, J.", "Uno, dos, tres"),
                  {QString::fromUtf8("1 Pérez, J.")},
                  {"Uno, dos, tres"},
                  "1"},
        CasoLista{"AccentsAndTheHighBytesShowAsTyped",
                  Linea(1, "Núñez", "¿Años? ¡Sí! 5 € “así”"),
                  {QString::fromUtf8("1 Núñez")},
                  {QString::fromUtf8("¿Años? ¡Sí! 5 € “así”")},
                  "1"}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(Lista, VolverShowsANewMainMenuAndTheNextVisitListsTheSavedCardOnceAtTheEnd) {
    prueba::Escribir(Linea(1, "Ana", "A") + Linea(2, "Luis", "B"));
    Abrir();
    p.ventanas.obtener(Id::Lista).control<QPushButton>("btnVolver")->click();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_FALSE(p.terminado);

    store::Ficha nueva;
    nueva.Titulo = "Nueva";
    nueva.Autor = "Eva";
    ASSERT_FALSE(store::GuardarFicha(nueva));
    p.ventanas.ocultar(Id::Menu);
    p.ventanas.descargar(Id::Menu);
    app::Ventana& v = Abrir();
    EXPECT_EQ(Filas(v, "LstAutor"), QStringList({"1 Ana", "2 Luis", "3 Eva"}));
    EXPECT_EQ(Filas(v, "LstTitulo"), QStringList({"A", "B", "Nueva"}));
    EXPECT_EQ(Numero(), "3");
}

TEST_F(Lista, ClosingTheFrameDoesWhatVolverDoes) {
    Abrir().close();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_FALSE(p.terminado);
}
