// Opening a card from the search window, and the record card window itself.
#include "app/texto.h"
#include "store/ficha.h"
#include "tests/soporte/ventanas.h"
#include "windows/frm_ficha.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <optional>
#include <string>

using app::Id;
using prueba::Procesar;

namespace {

// The design's layout, kept here as the oracle rather than read from the window.
constexpr app::Control kFicha[] = {
    {"Label10", app::Tipo::Etiqueta, "FICHA Nº", 120, 390, 855, 255, 12},
    {"txtNumero", app::Tipo::TextoNumero, "", 1080, 360, 1335, 285, 2},
    {"Label1", app::Tipo::Etiqueta, "Introduzca el título del libro", 120, 750, 3855, 255, 20},
    {"txtTitulo", app::Tipo::TextoLectura, "", 4080, 750, 4935, 285, 10},
    {"Label2", app::Tipo::Etiqueta, "Introduce el autor del libro", 120, 1230, 3855, 255, 19},
    {"txtAutor", app::Tipo::TextoLectura, "", 4080, 1230, 4935, 285, 9},
    {"Label3", app::Tipo::Etiqueta, "Introduce la editorial del libro", 120, 1710, 3855, 255, 18},
    {"txtEditorial", app::Tipo::TextoLectura, "", 4080, 1710, 4935, 285, 8},
    {"Label4", app::Tipo::Etiqueta, "Introduce la fecha de publicación del libro", 120, 2190, 3855,
     255, 17},
    {"txtFecha", app::Tipo::TextoLectura, "", 4080, 2190, 4935, 285, 7},
    {"Label5", app::Tipo::Etiqueta, "Introduce el número de páginas del libro", 120, 2670, 3855,
     255, 16},
    {"txtPaginas", app::Tipo::TextoLectura, "", 4080, 2670, 4935, 285, 6},
    {"Label6", app::Tipo::Etiqueta, "Introduce el número de copias del libro", 120, 3150, 3855, 255,
     15},
    {"txtCopias", app::Tipo::TextoLectura, "", 4080, 3150, 4935, 285, 5},
    {"Label7", app::Tipo::Etiqueta, "Introduce el código del libro", 120, 3630, 3855, 255, 14},
    {"txtCodigo", app::Tipo::TextoLectura, "", 4080, 3630, 4935, 285, 4},
    {"Label11", app::Tipo::Etiqueta, "Tema del libro", 120, 4110, 3975, 255, 11},
    {"txtTema", app::Tipo::TextoLectura, "", 4080, 4110, 4935, 285, 1},
    {"Label8", app::Tipo::Etiqueta, "Introduce un comentario refrente al libro", 120, 4710, 7455,
     375, 13},
    {"txtComentario", app::Tipo::MultilineaLectura, "", 120, 5190, 8895, 1935, 0},
    {"btnVolver", app::Tipo::Boton, "Volver", 2640, 7350, 1215, 495, 3},
};

constexpr const char* kCajas[] = {"txtTitulo",  "txtAutor",  "txtEditorial", "txtFecha",
                                  "txtPaginas", "txtCopias", "txtCodigo",    "txtTema"};

// A card whose every text names its field and its number, e.g. "Titulo 3".
store::Ficha Completa(std::int64_t n) {
    store::Ficha f;
    f.Numero = n;
    const char* nombres[] = {"Titulo", "Autor",  "Editorial", "Fecha",     "Paginas",
                             "Copias", "Codigo", "Tema",      "Comentario"};
    for (int i = 0; i < 9; ++i) {
        f.*store::kCampos[i] = std::string(nombres[i]) + " " + std::to_string(n);
    }
    return f;
}

std::string Catalogo(std::initializer_list<std::int64_t> numeros) {
    std::string s;
    for (std::int64_t n : numeros) {
        s += store::Linea(Completa(n));
    }
    return s;
}

class Ficha : public ::testing::Test {
  protected:
    // Main menu, kept hidden, then the search window, as the menu opens it.
    void AbrirBuscar() {
        p.ventanas.cargar(Id::Menu);
        p.ventanas.ocultar(Id::Menu);
        p.ventanas.cargar(Id::Buscar);
        p.ventanas.mostrar(Id::Buscar);
    }
    app::Ventana& buscar() { return p.ventanas.obtener(Id::Buscar); }
    app::Ventana& ficha() { return p.ventanas.obtener(Id::Ficha); }
    void Abrir(const char* numero) {
        buscar().control<QLineEdit>("txtNlista")->setText(QString::fromUtf8(numero));
        buscar().control<QPushButton>("btnAbrir")->click();
        Procesar();
    }
    QString Caja(const char* nombre) { return ficha().control<QLineEdit>(nombre)->text(); }
    QString Comentario() { return ficha().control<QPlainTextEdit>("txtComentario")->toPlainText(); }

    prueba::DirTemporal dir;
    prueba::Programa p;
};

} // namespace

TEST_F(Ficha, IsBuiltFromItsTableReadOnlyWithTheNumberGreyed) {
    prueba::Escribir(Catalogo({1}));
    AbrirBuscar();
    Abrir("1");
    app::Ventana& w = ficha();
    EXPECT_EQ(w.windowTitle(), "FICHA");
    prueba::VerificarTabla(w, kFicha);
    auto* numero = w.control<QLineEdit>("txtNumero");
    EXPECT_FALSE(numero->isEnabled());
    EXPECT_TRUE(numero->alignment() & Qt::AlignRight);
    for (const char* c : kCajas) {
        EXPECT_TRUE(w.control<QLineEdit>(c)->isReadOnly()) << c;
    }
    auto* comentario = w.control<QPlainTextEdit>("txtComentario");
    EXPECT_TRUE(comentario->isReadOnly());
    EXPECT_TRUE(comentario->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    EXPECT_EQ(w.focusWidget(), comentario);
    EXPECT_EQ(prueba::CadenaFoco(comentario, 11),
              QStringList({"txtComentario", "txtTema", "btnVolver", "txtCodigo", "txtCopias",
                           "txtPaginas", "txtFecha", "txtEditorial", "txtAutor", "txtTitulo",
                           "txtComentario"}));
}

TEST_F(Ficha, OpeningCardThreeShowsItInFullAndDestroysTheSearchWindow) {
    prueba::Escribir(Catalogo({1, 2, 3, 4, 5}));
    AbrirBuscar(); // no search made: only the typed number counts
    QPointer<app::Ventana> anterior = &buscar();
    Abrir("3");
    EXPECT_TRUE(anterior.isNull());
    EXPECT_EQ(p.cargadas(), "0100010");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmFicha"});
    EXPECT_TRUE(ficha().windowState() & Qt::WindowMaximized);
    EXPECT_EQ(Caja("txtNumero"), "3");
    const char* campos[] = {"Titulo",  "Autor",  "Editorial", "Fecha",
                            "Paginas", "Copias", "Codigo",    "Tema"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Caja(kCajas[i]), QString("%1 3").arg(campos[i])) << kCajas[i];
    }
    EXPECT_EQ(Comentario(), "Comentario 3");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Ficha, TheCardShowsItsTextsAsTypedWithTheCommentOnSeveralLines) {
    store::Ficha f = Completa(1);
    f.Titulo = app::HaciaCp1252(QString::fromUtf8("El \"Quijote\", tomo I")).value();
    f.Autor = app::HaciaCp1252(QString::fromUtf8("Cervantes · €")).value();
    f.Comentario = "uno\r\ndos\ntres\rcuatro";
    prueba::Escribir(store::Linea(f));
    AbrirBuscar();
    Abrir("1");
    EXPECT_EQ(Caja("txtTitulo"), "El \"Quijote\", tomo I");
    EXPECT_EQ(Caja("txtAutor"), QString::fromUtf8("Cervantes · €"));
    EXPECT_EQ(Comentario(), "uno\ndos\ntres\ncuatro");
    EXPECT_EQ(ficha().control<QPlainTextEdit>("txtComentario")->blockCount(), 4);
}

TEST_F(Ficha, TypingIntoTheCardChangesNothing) {
    prueba::Escribir(Catalogo({1}));
    AbrirBuscar();
    Abrir("1");
    for (const char* c : kCajas) {
        auto* caja = ficha().control<QLineEdit>(c);
        caja->setFocus();
        QTest::keyClicks(caja, "zz");
        QTest::keyClick(caja, Qt::Key_Backspace);
        QTest::keyClick(caja, Qt::Key_Delete);
    }
    auto* comentario = ficha().control<QPlainTextEdit>("txtComentario");
    comentario->setFocus();
    QTest::keyClicks(comentario, "zz");
    QTest::keyClick(comentario, Qt::Key_Return);
    QTest::keyClick(comentario, Qt::Key_Backspace);
    EXPECT_EQ(Caja("txtTitulo"), "Titulo 1");
    EXPECT_EQ(Caja("txtTema"), "Tema 1");
    EXPECT_EQ(Comentario(), "Comentario 1");
    // Selecting and copying stays possible.
    ficha().control<QLineEdit>("txtAutor")->selectAll();
    EXPECT_EQ(ficha().control<QLineEdit>("txtAutor")->selectedText(), "Autor 1");
}

// What is typed into txtNlista, and the card it opens (0: none).
struct CasoNumero {
    const char* nombre;
    const char* texto;
    int abre;
};
void PrintTo(const CasoNumero& c, std::ostream* os) {
    *os << c.nombre;
}

class Numeros : public Ficha, public ::testing::WithParamInterface<CasoNumero> {};

TEST_P(Numeros, OpenTheCardOrSayThereIsNoneAndLeaveTheSearchAsItWas) {
    const CasoNumero& c = GetParam();
    prueba::Escribir(Catalogo({1, 2, 7, 12}));
    AbrirBuscar();
    buscar().control<QRadioButton>("optTitulo")->setChecked(true);
    buscar().control<QPushButton>("btnBuscar")->click(); // four rows
    prueba::Cuadro cuadro;
    std::optional<prueba::Vigia> vigia; // a card that opens shows no box
    if (c.abre == 0) {
        prueba::Responder(cuadro, "Aceptar");
    } else {
        vigia.emplace();
    }
    Abrir(c.texto);
    if (c.abre != 0) {
        EXPECT_EQ(vigia->cuadros, 0);
        EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmFicha"});
        EXPECT_EQ(Caja("txtNumero"), QString::number(c.abre));
        EXPECT_EQ(Caja("txtTitulo"), QString("Titulo %1").arg(c.abre));
        return;
    }
    EXPECT_TRUE(cuadro.visto);
    EXPECT_EQ(cuadro.texto, QString::fromUtf8("NO EXISTE NINGUNA FICHA CON ESE NÚMERO"));
    EXPECT_EQ(cuadro.titulo, "KODEXA");
    EXPECT_EQ(cuadro.botones, QStringList{"Aceptar"});
    EXPECT_EQ(p.cargadas(), "0100100");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmBuscar"});
    EXPECT_EQ(buscar().control<QLineEdit>("txtNlista")->text(), QString::fromUtf8(c.texto));
    EXPECT_EQ(buscar().control<QLineEdit>("txtNtotal")->text(), "4");
    EXPECT_TRUE(buscar().control<QRadioButton>("optTitulo")->isChecked());
    EXPECT_EQ(buscar().control<QListView>("LstAutor")->model()->rowCount(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Ficha, Numeros,
    ::testing::Values(CasoNumero{"Plain", "7", 7}, CasoNumero{"LeadingZeros", "007", 7},
                      CasoNumero{"BlanksAround", " 7 ", 7}, CasoNumero{"TwoDigits", "12", 12},
                      CasoNumero{"NotOnFile", "8", 0}, CasoNumero{"APrefixOfANumber", "1 2", 0},
                      CasoNumero{"Blanks", "   ", 0}, CasoNumero{"Sign", "+7", 0},
                      CasoNumero{"Decimal", "7.0", 0}, CasoNumero{"Letters", "siete", 0},
                      CasoNumero{"TooLong", "99999999999999999999999", 0}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(Ficha, WithNoFileTheMessageAndNoCardWindow) {
    AbrirBuscar();
    prueba::Cuadro cuadro;
    prueba::Responder(cuadro, "Aceptar");
    Abrir("1");
    EXPECT_TRUE(cuadro.visto);
    EXPECT_EQ(p.cargadas(), "0100100");
}

TEST_F(Ficha, AnEmptyNumberDoesNothing) {
    prueba::Escribir(Catalogo({1}));
    AbrirBuscar();
    prueba::Vigia vigia;
    Abrir("");
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(p.cargadas(), "0100100");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmBuscar"});
}

TEST_F(Ficha, TheFirstOfTwoCardsWithTheNumberIsShown) {
    store::Ficha segunda = Completa(2);
    segunda.Titulo = "otra";
    prueba::Escribir(Catalogo({1, 2}) + store::Linea(segunda));
    AbrirBuscar();
    Abrir("2");
    EXPECT_EQ(Caja("txtTitulo"), "Titulo 2");
}

TEST_F(Ficha, VolverShowsTheMenuWithNoSearchWindowAndTheSearchOpensEmpty) {
    prueba::Escribir(Catalogo({1, 2, 3}));
    AbrirBuscar();
    buscar().control<QRadioButton>("optTema")->setChecked(true);
    buscar().control<QPushButton>("btnBuscar")->click();
    Abrir("2");
    ficha().control<QPushButton>("btnVolver")->click();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_FALSE(p.terminado);

    p.ventanas.ocultar(Id::Menu);
    p.ventanas.cargar(Id::Buscar);
    p.ventanas.mostrar(Id::Buscar);
    EXPECT_FALSE(buscar().control<QRadioButton>("optTema")->isChecked());
    EXPECT_EQ(buscar().control<QLineEdit>("txtNlista")->text(), "");
    EXPECT_EQ(buscar().control<QListView>("LstAutor")->model()->rowCount(), 0);
}

TEST_F(Ficha, ClosingTheFrameDoesWhatVolverDoes) {
    prueba::Escribir(Catalogo({1}));
    AbrirBuscar();
    Abrir("1");
    ficha().close();
    Procesar();
    EXPECT_EQ(p.cargadas(), "0100000");
    EXPECT_EQ(prueba::Programa::visibles(), QStringList{"frmMenu"});
    EXPECT_FALSE(p.terminado);
}

// The road of one card: saved, then last in the full list, found by a word
// of its title and opened in full.
TEST_F(Ficha, ASavedCardIsListedFoundAndOpened) {
    prueba::Escribir(Catalogo({1, 2}));
    store::Ficha nueva = Completa(0);
    nueva.Titulo = app::HaciaCp1252(QString::fromUtf8("Historia de España")).value();
    nueva.Comentario = "primera\r\nsegunda";
    ASSERT_FALSE(store::GuardarFicha(nueva));

    p.ventanas.cargar(Id::Lista);
    const QAbstractItemModel* lista =
        p.ventanas.obtener(Id::Lista).control<QListView>("LstTitulo")->model();
    ASSERT_EQ(lista->rowCount(), 3);
    EXPECT_EQ(lista->index(2, 0).data().toString(), QString::fromUtf8("Historia de España"));
    p.ventanas.descargar(Id::Lista);

    AbrirBuscar();
    buscar().control<QRadioButton>("optTitulo")->setChecked(true);
    buscar().control<QLineEdit>("txtBuscar")->setText(QString::fromUtf8("España"));
    buscar().control<QPushButton>("btnBuscar")->click();
    EXPECT_EQ(buscar().control<QLineEdit>("txtNtotal")->text(), "1");
    const QAbstractItemModel* autores = buscar().control<QListView>("LstAutor")->model();
    ASSERT_EQ(autores->rowCount(), 1);
    EXPECT_EQ(autores->index(0, 0).data().toString(), "3 Autor 0");
    Abrir("3");
    EXPECT_EQ(Caja("txtNumero"), "3");
    EXPECT_EQ(Caja("txtTitulo"), QString::fromUtf8("Historia de España"));
    EXPECT_EQ(Comentario(), "primera\nsegunda");
}

// Texts have no length limit anywhere: a card whose nine texts are 100,000
// characters long reads back whole in the full list and in the card window,
// and a search for the last ten characters of its title, typed in, finds it.
TEST_F(Ficha, ACardWithLongTextsReadsBackWholeEverywhere) {
    QStringList textos;
    store::Ficha larga;
    larga.Numero = 2;
    for (int i = 0; i < 9; ++i) {
        textos << prueba::Largo(100'000, QStringLiteral("%1 Año €").arg(i));
        larga.*store::kCampos[i] = app::HaciaCp1252(textos[i]).value();
    }
    prueba::Escribir(Catalogo({1}) + store::Linea(larga));

    p.ventanas.cargar(Id::Lista);
    app::Ventana& lista = p.ventanas.obtener(Id::Lista);
    EXPECT_EQ(prueba::Filas(lista, "LstAutor").value(1), "2 " + textos[1]);
    EXPECT_EQ(prueba::Filas(lista, "LstTitulo").value(1), textos[0]);
    EXPECT_EQ(prueba::Filas(lista, "LstTema").value(1), textos[7]);
    p.ventanas.descargar(Id::Lista);

    AbrirBuscar();
    buscar().control<QRadioButton>("optTitulo")->setChecked(true);
    prueba::Teclear(buscar().control<QLineEdit>("txtBuscar"), textos[0].right(10));
    buscar().control<QPushButton>("btnBuscar")->click();
    EXPECT_EQ(buscar().control<QLineEdit>("txtNtotal")->text(), "1");
    EXPECT_EQ(prueba::Filas(buscar(), "LstTitulo"), QStringList{textos[0]});
    Abrir("2");
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Caja(kCajas[i]), textos[i]) << kCajas[i];
    }
    EXPECT_EQ(app::TextoDe(*ficha().control<QPlainTextEdit>("txtComentario")), textos[8]);
}
