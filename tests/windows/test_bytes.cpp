// Every byte of the code page through the windows: a card holding them all is
// found, opened into the card window, and its texts typed into a new card are
// saved as the very same bytes. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) travel like the others.
#include "app/texto.h"
#include "store/ficha.h"
#include "tests/soporte/ventanas.h"

#include <QAbstractItemModel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

using app::Id;
using prueba::Procesar;

namespace {

constexpr const char* kCajas[] = {"txtTitulo",  "txtAutor",  "txtEditorial", "txtFecha",
                                  "txtPaginas", "txtCopias", "txtCodigo",    "txtTema"};

std::string DeA(int desde, int hasta) {
    std::string s;
    for (int b = desde; b <= hasta; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

// The high half in the title, the undefined five alone in the code, the
// printable low half in the author, the other control bytes in the subject
// and everything, line breaks as CR LF, in the comment.
store::Ficha Todos() {
    std::string controles;
    for (int b = 1; b < 0x20; ++b) {
        if (b != '\r' && b != '\n') {
            controles += static_cast<char>(b);
        }
    }
    store::Ficha f;
    f.Numero = 1;
    f.Titulo = DeA(0x80, 0xFF);
    f.Autor = DeA(0x20, 0x7F);
    f.Codigo = "\x81\x8D\x8F\x90\x9D";
    f.Tema = controles;
    f.Comentario = DeA(0x01, 0x09) + "\r\n" + DeA(0x0B, 0x0C) + "\r\n" + DeA(0x0E, 0xFF);
    return f;
}

class Bytes : public ::testing::Test {
  protected:
    app::Ventana& v(Id id) { return p.ventanas.obtener(id); }
    void Pulsar(Id id, const char* boton) {
        v(id).control<QPushButton>(boton)->click();
        Procesar();
    }
    prueba::DirTemporal dir;
    prueba::Programa p;
};

} // namespace

TEST_F(Bytes, EveryByteIsFoundShownAndSavedBackUnchanged) {
    const store::Ficha todos = Todos();
    prueba::Escribir(store::Linea(todos));

    // Found by the undefined bytes themselves, and listed.
    p.ventanas.cargar(Id::Menu);
    p.ventanas.ocultar(Id::Menu);
    p.ventanas.cargar(Id::Buscar);
    p.ventanas.mostrar(Id::Buscar);
    v(Id::Buscar).control<QRadioButton>("optCodigo")->setChecked(true);
    v(Id::Buscar).control<QLineEdit>("txtBuscar")->setText(app::DesdeCp1252("\x8D\x8F"));
    Pulsar(Id::Buscar, "btnBuscar");
    EXPECT_EQ(v(Id::Buscar).control<QLineEdit>("txtNtotal")->text(), "1");
    const QAbstractItemModel* codigos = v(Id::Buscar).control<QListView>("LstCodigo")->model();
    ASSERT_EQ(codigos->rowCount(), 1);
    EXPECT_EQ(app::HaciaCp1252(codigos->index(0, 0).data().toString()), todos.Codigo);

    // Opened into the card window: each box holds its text, byte for byte.
    v(Id::Buscar).control<QLineEdit>("txtNlista")->setText("1");
    Pulsar(Id::Buscar, "btnAbrir");
    ASSERT_EQ(prueba::Programa::visibles(), QStringList{"frmFicha"});
    QStringList textos;
    for (int i = 0; i < 8; ++i) {
        textos << v(Id::Ficha).control<QLineEdit>(kCajas[i])->text();
        EXPECT_EQ(app::HaciaCp1252(textos.back()), todos.*store::kCampos[i]) << kCajas[i];
    }
    textos << app::TextoDe(*v(Id::Ficha).control<QPlainTextEdit>("txtComentario"));
    EXPECT_EQ(app::HaciaCp1252(textos.back()), todos.Comentario);
    Pulsar(Id::Ficha, "btnVolver");

    // Copied into a new card and saved: the same bytes again.
    Pulsar(Id::Menu, "btnEdicion");
    Pulsar(Id::Edicion, "btnCrear");
    for (int i = 0; i < 8; ++i) {
        v(Id::Crear).control<QLineEdit>(kCajas[i])->setText(textos[i]);
    }
    v(Id::Crear).control<QPlainTextEdit>("txtComentario")->setPlainText(textos[8]);
    prueba::Vigia vigia;
    Pulsar(Id::Crear, "btnGuardar");
    EXPECT_EQ(vigia.cuadros, 0);
    store::Ficha copia = todos;
    copia.Numero = 2;
    EXPECT_EQ(prueba::Contenido(), store::Linea(todos) + store::Linea(copia));
}
