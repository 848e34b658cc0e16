// The new-record window: its layout and focus, the number it shows, the exact
// card it appends, a failed save, and the way back to the main menu.
#include "app/mensaje.h"
#include "app/texto.h"
#include "app/ventanas.h"
#include "tests/soporte/ventanas.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <string>

using app::Id;
using app::Tipo;
using prueba::Contenido;
using prueba::Procesar;

namespace {

constexpr app::Control kCrear[] = {
    {"txtComentario", Tipo::Multilinea, "", 120, 5040, 8895, 1935, 21},
    {"txtTema", Tipo::Texto, "", 4080, 3960, 4935, 285, 20},
    {"txtNumero", Tipo::TextoNumero, "", 1080, 210, 1335, 285, 17},
    {"btnVolver", Tipo::Boton, "VOLVER", 2640, 7200, 1215, 495, 16},
    {"btnGuardar", Tipo::Boton, "GUARDAR", 1200, 7200, 1215, 495, 15},
    {"txtCodigo", Tipo::Texto, "", 4080, 3480, 4935, 285, 6},
    {"txtCopias", Tipo::Texto, "", 4080, 3000, 4935, 285, 5},
    {"txtPaginas", Tipo::Texto, "", 4080, 2520, 4935, 285, 4},
    {"txtFecha", Tipo::Texto, "", 4080, 2040, 4935, 285, 3},
    {"txtEditorial", Tipo::Texto, "", 4080, 1560, 4935, 285, 2},
    {"txtAutor", Tipo::Texto, "", 4080, 1080, 4935, 285, 1},
    {"txtTitulo", Tipo::Texto, "", 4080, 600, 4935, 285, 0},
    {"Label11", Tipo::Etiqueta, "Tema del libro", 120, 3960, 3975, 255, 19},
    {"Label10", Tipo::Etiqueta, "FICHA Nº", 120, 240, 855, 255, 18},
    {"Label8", Tipo::Etiqueta, "Introduce un comentario refrente al libro", 120, 4560, 7455, 375,
     14},
    {"Label7", Tipo::Etiqueta, "Introduce el código del libro", 120, 3480, 3855, 255, 13},
    {"Label6", Tipo::Etiqueta, "Introduce el número de copias del libro", 120, 3000, 3855, 255, 12},
    {"Label5", Tipo::Etiqueta, "Introduce el número de páginas del libro", 120, 2520, 3855, 255,
     11},
    {"Label4", Tipo::Etiqueta, "Introduce la fecha de publicación del libro", 120, 2040, 3855, 255,
     10},
    {"Label3", Tipo::Etiqueta, "Introduce la editorial del libro", 120, 1560, 3855, 255, 9},
    {"Label2", Tipo::Etiqueta, "Introduce el autor del libro", 120, 1080, 3855, 255, 8},
    {"Label1", Tipo::Etiqueta, "Introduzca el título del libro", 120, 600, 3855, 255, 7},
};

// One card as the program writes it: a title, empty unless given, and eight
// empty texts.
std::string Linea(int numero, std::string_view titulo = "") {
    return prueba::Fila(std::to_string(numero), titulo);
}

// Cards numbered 1 to n.
std::string Fichas(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) {
        s += Linea(i, "t" + std::to_string(i));
    }
    return s;
}

class Crear : public ::testing::Test {
  protected:
    prueba::DirTemporal dir;
    prueba::Programa programa;

    // The way the user gets here: main menu, editing menu, "CREAR UNA FICHA".
    app::Ventana& abrir() {
        auto& v = programa.ventanas;
        if (!v.cargada(Id::Menu)) {
            v.cargar(Id::Menu);
            v.mostrar(Id::Menu);
        }
        pulsar(Id::Menu, "btnEdicion");
        pulsar(Id::Edicion, "btnCrear");
        return crear();
    }
    app::Ventana& crear() { return programa.ventanas.obtener(Id::Crear); }
    void pulsar(Id id, const char* boton) {
        QTest::mouseClick(programa.ventanas.obtener(id).control<QPushButton>(boton),
                          Qt::LeftButton);
    }
    QLineEdit* caja(const char* nombre) { return crear().control<QLineEdit>(nombre); }
    QPlainTextEdit* comentario() { return crear().control<QPlainTextEdit>("txtComentario"); }
    QString numero() { return caja("txtNumero")->text(); }
    void guardar() {
        pulsar(Id::Crear, "btnGuardar");
        Procesar();
    }
};

TEST_F(Crear, IsBuiltFromItsTableWithEmptyBoxesAndAGreyedNumber) {
    app::Ventana& v = abrir();
    EXPECT_EQ(v.windowTitle(), QStringLiteral("CREAR"));
    EXPECT_TRUE(v.isMaximized());
    prueba::VerificarTabla(v, kCrear);
    QLineEdit* n = caja("txtNumero");
    EXPECT_FALSE(n->isEnabled());
    EXPECT_TRUE(n->alignment() & Qt::AlignRight);
    EXPECT_EQ(comentario()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    for (const app::Control& c : kCrear) {
        if (auto* t = v.control<QLineEdit>(c.nombre); t && t != n) {
            EXPECT_TRUE(t->text().isEmpty()) << c.nombre;
        }
    }
    EXPECT_TRUE(comentario()->toPlainText().isEmpty());
}

TEST_F(Crear, FocusStartsOnTheTitleAndTabFollowsTheTabColumn) {
    app::Ventana& v = abrir();
    EXPECT_EQ(v.focusWidget(), caja("txtTitulo"));
    EXPECT_EQ(prueba::CadenaFoco(caja("txtTitulo"), 12),
              QStringList({"txtTitulo", "txtAutor", "txtEditorial", "txtFecha", "txtPaginas",
                           "txtCopias", "txtCodigo", "btnGuardar", "btnVolver", "txtTema",
                           "txtComentario", "txtTitulo"}));
}

TEST_F(Crear, ShowsTheNumberTheNextCardWillGet) {
    const struct {
        const char* caso;
        std::optional<std::string> archivo;
        const char* numero;
    } casos[] = {
        {"sin archivo", std::nullopt, "1"},
        {"archivo vacío", "", "1"},
        {"fichas 1 a 5", Fichas(5), "6"},
        {"fichas 1, 2 y 7", Fichas(2) + Linea(7), "8"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.caso);
        std::filesystem::remove("fichas.dat");
        if (c.archivo) {
            prueba::Escribir(*c.archivo);
        }
        abrir();
        EXPECT_EQ(numero(), QString::fromLatin1(c.numero));
        pulsar(Id::Crear, "btnVolver");
        Procesar();
    }
}

// Every box gets a different text, so a box saved in the wrong place shows;
// blanks, commas, Spanish letters and the euro sign go in exactly as typed.
TEST_F(Crear, SavesTheTypedTextsAsOneCardInFileOrder) {
    abrir();
    const std::pair<const char*, QString> textos[] = {
        {"txtTitulo", QStringLiteral(" Año, mes ")}, {"txtAutor", QStringLiteral("Núñez")},
        {"txtEditorial", QStringLiteral("Ed")},      {"txtFecha", QStringLiteral("1999")},
        {"txtPaginas", QStringLiteral("120")},       {"txtCopias", QStringLiteral("3")},
        {"txtCodigo", QStringLiteral("C-7")},        {"txtTema", QStringLiteral("¿€?")},
    };
    for (const auto& [nombre, texto] : textos) {
        prueba::Teclear(caja(nombre), texto);
    }
    prueba::Teclear(comentario(), QStringLiteral("uno"));
    QTest::keyClick(comentario(), Qt::Key_Return); // Enter starts a new line here
    prueba::Teclear(comentario(), QStringLiteral("dos"));
    prueba::Vigia vigia;
    guardar();
    EXPECT_EQ(Contenido(), "1,\" A\xF1o, mes \",\"N\xFA\xF1"
                           "ez\",\"Ed\",\"1999\",\"120\",\"3\",\"C-7\",\"\xBF\x80?\","
                           "\"uno\r\ndos\"\r\n");
    // The window stays as it was, silently.
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmCrear"}));
    EXPECT_EQ(numero(), QStringLiteral("1"));
    for (const auto& [nombre, texto] : textos) {
        EXPECT_EQ(caja(nombre)->text(), texto) << nombre;
    }
    EXPECT_EQ(comentario()->toPlainText(), QStringLiteral("uno\ndos"));
}

TEST_F(Crear, EachSaveNumbersTheCardAfreshFromTheFile) {
    prueba::Escribir(Fichas(5));
    abrir();
    ASSERT_EQ(numero(), QStringLiteral("6"));
    // Nothing typed, saved twice: two empty cards with consecutive numbers.
    guardar();
    guardar();
    std::string esperado = Fichas(5) + Linea(6) + Linea(7);
    EXPECT_EQ(Contenido(), esperado);
    // Another copy of the program appends a card: the next save follows it,
    // whatever the box still shows.
    esperado += Linea(8, "otro");
    prueba::Escribir(esperado);
    guardar();
    EXPECT_EQ(Contenido(), esperado + Linea(9));
    EXPECT_EQ(numero(), QStringLiteral("6"));
}

TEST_F(Crear, VolverShowsTheMainMenuAndANewVisitStartsAfresh) {
    for (const char* via : {"btnVolver", "marco"}) {
        SCOPED_TRACE(via);
        abrir();
        prueba::Teclear(caja("txtTitulo"), QStringLiteral("Uno"));
        prueba::Teclear(comentario(), QStringLiteral("nota"));
        guardar();
        if (std::string_view(via) == "marco") {
            crear().close(); // the frame does what "VOLVER" does
        } else {
            pulsar(Id::Crear, "btnVolver");
        }
        Procesar();
        EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmMenu"}));
        EXPECT_EQ(programa.cargadas(), "0110000"); // the editing menu stays behind
        EXPECT_FALSE(programa.terminado);
    }
    abrir();
    EXPECT_EQ(numero(), QStringLiteral("3"));
    EXPECT_TRUE(caja("txtTitulo")->text().isEmpty());
    EXPECT_TRUE(comentario()->toPlainText().isEmpty());
}

// A save that cannot reach the file says so and keeps the typed card, so the
// user can try again; nothing is written and the program goes on.
TEST_F(Crear, AFailedSaveIsReportedAndKeepsTheCard) {
    std::filesystem::create_directory("fichas.dat"); // refuses appending even to root
    abrir();
    prueba::Teclear(caja("txtTitulo"), QStringLiteral("Perdido"));
    prueba::Cuadro cuadro;
    prueba::Responder(cuadro, QStringLiteral("Aceptar"));
    guardar();
    EXPECT_TRUE(cuadro.visto);
    EXPECT_TRUE(cuadro.texto.startsWith(QStringLiteral("NO SE HA PODIDO GUARDAR LA FICHA\n")));
    EXPECT_GT(cuadro.texto.size(), QStringLiteral("NO SE HA PODIDO GUARDAR LA FICHA\n").size());
    EXPECT_EQ(cuadro.botones, QStringList({"Aceptar"}));
    EXPECT_FALSE(programa.terminado);
    EXPECT_EQ(prueba::Programa::visibles(), QStringList({"frmCrear"}));
    EXPECT_EQ(caja("txtTitulo")->text(), QStringLiteral("Perdido"));

    // Once the cause is gone the same card is saved.
    std::filesystem::remove("fichas.dat");
    prueba::Vigia vigia;
    guardar();
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(Contenido(), Linea(1, "Perdido"));
}

// Even a text a program puts in a box loses what the file cannot hold, so the
// card saved is the one on the screen, never one with a substitute.
TEST_F(Crear, WhatTheFileCannotHoldIsLeftOutOfEveryBox) {
    abrir();
    caja("txtAutor")->setText(QStringLiteral("Ωmega"));
    comentario()->setPlainText(QStringLiteral("Dvořák"));
    EXPECT_EQ(caja("txtAutor")->text(), QStringLiteral("mega"));
    EXPECT_EQ(comentario()->toPlainText(), QStringLiteral("Dvoák"));
    prueba::Vigia vigia;
    guardar();
    EXPECT_EQ(vigia.cuadros, 0);
    EXPECT_EQ(Contenido(), "1,\"\",\"mega\",\"\",\"\",\"\",\"\",\"\",\"\",\"Dvo\xE1k\"\r\n");
}

// Texts have no length limit: a title and an author of 100,000 characters,
// pasted, are saved whole, byte for byte.
TEST_F(Crear, LongPastedTextsAreSavedWhole) {
    abrir();
    const QString titulo = prueba::Largo(100'000, QStringLiteral("Título €"));
    const QString autor = prueba::Largo(100'000, QStringLiteral("Ñ-ü "));
    for (const auto& [nombre, texto] : {std::pair{"txtTitulo", titulo}, {"txtAutor", autor}}) {
        QApplication::clipboard()->setText(texto);
        QTest::keyClick(caja(nombre), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(caja(nombre)->text().size(), 100'000) << nombre;
    }
    guardar();
    EXPECT_EQ(Contenido(), "1,\"" + *app::HaciaCp1252(titulo) + "\",\"" + *app::HaciaCp1252(autor) +
                               R"(","","","","","","","")" + "\r\n");
}

} // namespace
