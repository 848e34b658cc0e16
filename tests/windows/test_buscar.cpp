// The search window: its layout, the match rule, the lists across searches
// and the way back.
#include "app/texto.h"
#include "store/ficha.h"
#include "tests/soporte/ventanas.h"
#include "windows/frm_buscar.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <string>

using app::Id;
using prueba::Procesar;

using prueba::B;
using prueba::Filas;

namespace {

// The design's layout, kept here as the oracle rather than read from the window.
constexpr app::Control kBuscar[] = {
    {"Label1", app::Tipo::Etiqueta, "BUSCAR PALABRA", 600, 240, 1695, 495, 0},
    {"txtBuscar", app::Tipo::Texto, "", 2400, 240, 4095, 285, 1},
    {"Label2", app::Tipo::Etiqueta, "POR", 6600, 240, 1215, 495, 8},
    {"frmOpciones", app::Tipo::Marco, "OPCIONES", 7920, 120, 3855, 2175, 2},
    {"optTitulo", app::Tipo::Opcion, "TÍTULO DEL LIBRO", 8280, 360, 3255, 375, 3},
    {"optAutor", app::Tipo::Opcion, "AUTOR DEL LIBRO", 8280, 720, 3375, 375, 4},
    {"optEditorial", app::Tipo::Opcion, "EDITORIAL DEL LIBRO", 8280, 1080, 3375, 375, 5},
    {"optCodigo", app::Tipo::Opcion, "CÓDIGO DEL LIBRO", 8280, 1440, 3375, 375, 6},
    {"optTema", app::Tipo::Opcion, "TEMA DEL LIBRO", 8280, 1800, 3375, 375, 7},
    {"btnBuscar", app::Tipo::Boton, "BUSCAR", 4080, 1080, 1215, 495, 9},
    {"Label4", app::Tipo::Etiqueta, "Fichas encontradas:", 240, 2280, 1695, 255, 15},
    {"txtNtotal", app::Tipo::TextoDerecha, "", 2040, 2280, 1215, 285, 14},
    {"Label5", app::Tipo::Etiqueta, "Nº", 120, 2760, 255, 255, 17},
    {"Label6", app::Tipo::Etiqueta, "Autor", 480, 2760, 3015, 255, 18},
    {"Label7", app::Tipo::Etiqueta, "Título", 3600, 2760, 3615, 255, 19},
    {"Label8", app::Tipo::Etiqueta, "Editorial", 7320, 2760, 1695, 255, 20},
    {"Label9", app::Tipo::Etiqueta, "Código", 9000, 2760, 975, 255, 21},
    {"Label10", app::Tipo::Etiqueta, "Tema", 10080, 2760, 1575, 255, 22},
    {"LstAutor", app::Tipo::Lista, "", 120, 3000, 3375, 3375, 16},
    {"LstTitulo", app::Tipo::Lista, "", 3480, 3000, 3855, 3375, 23},
    {"LstEditorial", app::Tipo::Lista, "", 7320, 3000, 1695, 3375, 24},
    {"LstCodigo", app::Tipo::Lista, "", 9000, 3000, 1095, 3375, 25},
    {"LstTema", app::Tipo::Lista, "", 10080, 3000, 1695, 3375, 26},
    {"Label3", app::Tipo::Etiqueta, "Introduce el número de ficha deseado:", 240, 6960, 2895, 255,
     10},
    {"txtNlista", app::Tipo::Texto, "", 3240, 6960, 1215, 285, 11},
    {"btnAbrir", app::Tipo::Boton, "ABRIR", 4920, 7440, 1215, 495, 12},
    {"btnVolver", app::Tipo::Boton, "VOLVER", 6360, 7440, 1215, 495, 13},
};

constexpr const char* kListas[] = {"LstAutor", "LstTitulo", "LstEditorial", "LstCodigo", "LstTema"};
constexpr const char* kOpciones[] = {"optTitulo", "optAutor", "optEditorial", "optCodigo",
                                     "optTema"};

// One line of the record file; texts in UTF-8 here, in the file's code page there.
std::string Linea(std::int64_t numero, const char* titulo, const char* autor, const char* editorial,
                  const char* copias, const char* codigo, const char* tema) {
    store::Ficha f;
    f.Numero = numero;
    f.Titulo = B(titulo);
    f.Autor = B(autor);
    f.Editorial = B(editorial);
    f.Copias = B(copias);
    f.Codigo = B(codigo);
    f.Tema = B(tema);
    return store::Linea(f);
}

// Card 3 carries in its copies the code of card 1; card 4 has an empty title.
const std::string kCatalogo =
    Linea(1, "Cien años de soledad", "García Márquez", "Sudamericana", "2", "LIT-001", "Novela") +
    Linea(2, "cien AÑOS", "Garcia Marquez", "", "", "LIT-002", "") +
    Linea(3, "El otoño del patriarca", "García Márquez", "Plaza, Janés", "LIT-001", "X-3",
          "Novela") +
    Linea(4, "", "Anónimo", "", "", "", "Poesía");

class Buscar : public ::testing::Test {
  protected:
    // The way the main menu opens it: the menu stays loaded, hidden.
    app::Ventana& Abrir() {
        p.ventanas.cargar(Id::Menu);
        p.ventanas.ocultar(Id::Menu);
        p.ventanas.cargar(Id::Buscar);
        p.ventanas.mostrar(Id::Buscar);
        return v();
    }
    app::Ventana& v() { return p.ventanas.obtener(Id::Buscar); }
    // Chooses the option (none when null), types the text and clicks BUSCAR.
    void Busca(const char* opcion, const char* texto) {
        if (opcion) {
            v().control<QRadioButton>(opcion)->setChecked(true);
        }
        v().control<QLineEdit>("txtBuscar")->setText(QString::fromUtf8(texto));
        v().control<QPushButton>("btnBuscar")->click();
    }
    QString Total() { return v().control<QLineEdit>("txtNtotal")->text(); }

    prueba::DirTemporal dir;
    prueba::Programa p;
};

} // namespace

TEST_F(Buscar, IsBuiltFromItsTableWithOneExclusiveGroupAndNothingChosen) {
    app::Ventana& w = Abrir();
    EXPECT_EQ(w.windowTitle(), "BUSQUEDA DE FICHAS");
    prueba::VerificarTabla(w, kBuscar);
    EXPECT_EQ(w.focusWidget()->objectName(), "txtBuscar");
    EXPECT_TRUE(w.control<QLineEdit>("txtNtotal")->alignment() & Qt::AlignRight);
    for (const char* o : kOpciones) {
        EXPECT_FALSE(w.control<QRadioButton>(o)->isChecked()) << o;
    }
    for (const char* o : kOpciones) {
        w.control<QRadioButton>(o)->click();
        for (const char* otra : kOpciones) {
            EXPECT_EQ(w.control<QRadioButton>(otra)->isChecked(), o == otra) << o << " " << otra;
        }
    }
    for (const char* l : kListas) {
        EXPECT_EQ(w.control<QListView>(l)->model()->rowCount(), 0) << l;
    }
}

// Option, search text, the LstAutor rows it gives.
struct CasoBusqueda {
    const char* nombre;
    const char* opcion;
    const char* texto;
    QStringList autores;
};
void PrintTo(const CasoBusqueda& c, std::ostream* os) {
    *os << c.nombre;
}

class Coincidencias : public Buscar, public ::testing::WithParamInterface<CasoBusqueda> {};

TEST_P(Coincidencias, MatchTheFieldByteForByteAndCountThem) {
    const CasoBusqueda& c = GetParam();
    prueba::Escribir(kCatalogo);
    Abrir();
    prueba::Vigia vigia;
    Busca(c.opcion, c.texto);
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(Filas(v(), "LstAutor"), c.autores);
    EXPECT_EQ(Total(), QString::number(c.autores.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Buscar, Coincidencias,
    ::testing::Values(
        CasoBusqueda{"WholeTitle", "optTitulo", "Cien años de soledad", {"1 García Márquez"}},
        CasoBusqueda{"CaseDiffers", "optTitulo", "Cien AÑOS", {}},
        CasoBusqueda{"LowerCaseFindsOnlyTheLowerCase", "optTitulo", "cien", {"2 Garcia Marquez"}},
        CasoBusqueda{"AccentDiffers", "optAutor", "Garcia", {"2 Garcia Marquez"}},
        CasoBusqueda{"AccentedFindsOnlyTheAccented",
                     "optAutor",
                     "García",
                     {"1 García Márquez", "3 García Márquez"}},
        CasoBusqueda{"AWordInsideAWord", "optTitulo", "toñ", {"3 García Márquez"}},
        CasoBusqueda{"BlanksAreCharacters", "optTitulo", "o d", {"3 García Márquez"}},
        CasoBusqueda{"BlankAtTheEndMatchesNothingThere", "optTitulo", "soledad ", {}},
        CasoBusqueda{"EmptyTextMatchesEveryNonEmptyField",
                     "optTitulo",
                     "",
                     {"1 García Márquez", "2 Garcia Marquez", "3 García Márquez"}},
        CasoBusqueda{"TextLongerThanEveryField",
                     "optTitulo",
                     "El otoño del patriarca y cien años de soledad",
                     {}},
        CasoBusqueda{"CommaInAPublisher", "optEditorial", "a, J", {"3 García Márquez"}},
        CasoBusqueda{
            "CodeIsTheEighthItemNotTheCopies", "optCodigo", "LIT-001", {"1 García Márquez"}},
        CasoBusqueda{"Subject", "optTema", "Poesía", {"4 Anónimo"}},
        CasoBusqueda{"EmptySubjectsNeverMatch",
                     "optTema",
                     "",
                     {"1 García Márquez", "3 García Márquez", "4 Anónimo"}}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(Buscar, AFoundCardFillsAllFiveListsInStep) {
    prueba::Escribir(kCatalogo);
    Abrir();
    Busca("optCodigo", "X-3");
    EXPECT_EQ(Filas(v(), "LstAutor"), QStringList{QString::fromUtf8("3 García Márquez")});
    EXPECT_EQ(Filas(v(), "LstTitulo"), QStringList{QString::fromUtf8("El otoño del patriarca")});
    EXPECT_EQ(Filas(v(), "LstEditorial"), QStringList{"Plaza, Janés"});
    EXPECT_EQ(Filas(v(), "LstCodigo"), QStringList{"X-3"});
    EXPECT_EQ(Filas(v(), "LstTema"), QStringList{"Novela"});
}

TEST_F(Buscar, ASecondSearchAppendsBelowAndCountsOnlyItself) {
    prueba::Escribir(kCatalogo);
    Abrir();
    Busca("optAutor", "García");
    EXPECT_EQ(Total(), "2");
    Busca("optTitulo", "cien");
    EXPECT_EQ(Total(), "1");
    EXPECT_EQ(Filas(v(), "LstAutor"),
              QStringList({QString::fromUtf8("1 García Márquez"),
                           QString::fromUtf8("3 García Márquez"), "2 Garcia Marquez"}));
    EXPECT_EQ(Filas(v(), "LstTitulo"),
              QStringList({QString::fromUtf8("Cien años de soledad"),
                           QString::fromUtf8("El otoño del patriarca"), "cien AÑOS"}));
    EXPECT_EQ(Filas(v(), "LstCodigo"), QStringList({"LIT-001", "X-3", "LIT-002"}));
    EXPECT_EQ(Filas(v(), "LstTema"), QStringList({"Novela", "Novela", ""}));
    Busca("optTema", "nada así");
    EXPECT_EQ(Total(), "0");
    EXPECT_EQ(Filas(v(), "LstEditorial").size(), 3);
}

TEST_F(Buscar, WithNoOptionChosenTheMessageAloneAndTheFileIsNotRead) {
    prueba::Escribir(kCatalogo);
    Abrir();
    v().control<QLineEdit>("txtNtotal")->setText("9");
    prueba::Cuadro cuadro;
    prueba::Responder(cuadro, "Aceptar");
    Busca(nullptr, ""); // an empty text would match three titles if the file were read
    EXPECT_TRUE(cuadro.visto);
    EXPECT_EQ(cuadro.texto, QString::fromUtf8("DEBE ELEGIR UNA OPCIÓN DE BUSQUEDA"));
    EXPECT_EQ(cuadro.titulo, "KODEXA");
    EXPECT_EQ(cuadro.botones, QStringList{"Aceptar"});
    EXPECT_EQ(Total(), "0");
    for (const char* l : kListas) {
        EXPECT_EQ(Filas(v(), l).size(), 0) << l;
    }
}

TEST_F(Buscar, WithNoFileEverySearchShowsZeroAndNoMessage) {
    Abrir();
    prueba::Vigia vigia;
    for (const char* o : kOpciones) {
        Busca(o, "");
    }
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(Total(), "0");
    EXPECT_EQ(Filas(v(), "LstAutor").size(), 0);
}

// The old counter stopped at 32767; this one does not.
TEST_F(Buscar, FortyThousandMatchesAreAllListedAndCounted) {
    std::string archivo;
    for (int n = 1; n <= 40000; ++n) {
        archivo += Linea(n, "x", "Autor", "", "", "", "");
    }
    prueba::Escribir(archivo);
    Abrir();
    Busca("optTitulo", "x");
    EXPECT_EQ(Total(), "40000");
    for (const char* l : kListas) {
        EXPECT_EQ(v().control<QListView>(l)->model()->rowCount(), 40000) << l;
    }
    const QAbstractItemModel* autores = v().control<QListView>("LstAutor")->model();
    EXPECT_EQ(autores->index(32767, 0).data().toString(), "32768 Autor");
    EXPECT_EQ(autores->index(39999, 0).data().toString(), "40000 Autor");
}

// One insertion per list and search, however many rows: a million rows
// announced one by one would take seconds.
TEST_F(Buscar, TheRowsOfOneSearchReachTheViewInOneInsertion) {
    prueba::Escribir(kCatalogo);
    Abrir();
    int inserciones = 0;
    for (const char* l : kListas) {
        QObject::connect(v().control<QListView>(l)->model(), &QAbstractItemModel::rowsInserted,
                         [&inserciones] { ++inserciones; });
    }
    Busca("optTitulo", "");
    EXPECT_EQ(inserciones, 5);
    Busca("optTitulo", "ninguno");
    EXPECT_EQ(inserciones, 5);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the busy cursor is gone
}

TEST_F(Buscar, EnterInTheSearchBoxStartsNothing) {
    prueba::Escribir(kCatalogo);
    Abrir();
    v().control<QRadioButton>("optTitulo")->setChecked(true);
    auto* buscar = v().control<QLineEdit>("txtBuscar");
    buscar->setFocus();
    QTest::keyClicks(buscar, "cien");
    QTest::keyClick(buscar, Qt::Key_Return);
    QTest::keyClick(buscar, Qt::Key_Enter);
    Procesar();
    EXPECT_EQ(Total(), "");
    EXPECT_EQ(Filas(v(), "LstAutor").size(), 0);
}

TEST_F(Buscar, VolverReturnsToTheKeptMenuAndTheNextVisitStartsEmpty) {
    prueba::Escribir(kCatalogo);
    Abrir();
    Busca("optTitulo", "");
    v().control<QLineEdit>("txtNlista")->setText("2");
    v().control<QPushButton>("btnVolver")->click();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});

    p.ventanas.ocultar(Id::Menu);
    p.ventanas.cargar(Id::Buscar);
    p.ventanas.mostrar(Id::Buscar);
    for (const char* o : kOpciones) {
        EXPECT_FALSE(v().control<QRadioButton>(o)->isChecked()) << o;
    }
    for (const char* t : {"txtBuscar", "txtNtotal", "txtNlista"}) {
        EXPECT_EQ(v().control<QLineEdit>(t)->text(), "") << t;
    }
    for (const char* l : kListas) {
        EXPECT_EQ(Filas(v(), l).size(), 0) << l;
    }
}

TEST_F(Buscar, ClosingTheFrameDoesWhatVolverDoes) {
    Abrir().close();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_FALSE(p.terminado);
}
