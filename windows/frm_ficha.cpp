#include "windows/frm_ficha.h"

#include "app/texto.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace win {
namespace {

using app::Tipo;

constexpr app::Control kControles[] = {
    {"Label10", Tipo::Etiqueta, "FICHA Nº", 120, 390, 855, 255, 12},
    {"txtNumero", Tipo::TextoNumero, "", 1080, 360, 1335, 285, 2, "Label10"},
    {"Label1", Tipo::Etiqueta, "Introduzca el título del libro", 120, 750, 3855, 255, 20},
    {"txtTitulo", Tipo::TextoLectura, "", 4080, 750, 4935, 285, 10, "Label1"},
    {"Label2", Tipo::Etiqueta, "Introduce el autor del libro", 120, 1230, 3855, 255, 19},
    {"txtAutor", Tipo::TextoLectura, "", 4080, 1230, 4935, 285, 9, "Label2"},
    {"Label3", Tipo::Etiqueta, "Introduce la editorial del libro", 120, 1710, 3855, 255, 18},
    {"txtEditorial", Tipo::TextoLectura, "", 4080, 1710, 4935, 285, 8, "Label3"},
    {"Label4", Tipo::Etiqueta, "Introduce la fecha de publicación del libro", 120, 2190, 3855, 255,
     17},
    {"txtFecha", Tipo::TextoLectura, "", 4080, 2190, 4935, 285, 7, "Label4"},
    {"Label5", Tipo::Etiqueta, "Introduce el número de páginas del libro", 120, 2670, 3855, 255,
     16},
    {"txtPaginas", Tipo::TextoLectura, "", 4080, 2670, 4935, 285, 6, "Label5"},
    {"Label6", Tipo::Etiqueta, "Introduce el número de copias del libro", 120, 3150, 3855, 255, 15},
    {"txtCopias", Tipo::TextoLectura, "", 4080, 3150, 4935, 285, 5, "Label6"},
    {"Label7", Tipo::Etiqueta, "Introduce el código del libro", 120, 3630, 3855, 255, 14},
    {"txtCodigo", Tipo::TextoLectura, "", 4080, 3630, 4935, 285, 4, "Label7"},
    {"Label11", Tipo::Etiqueta, "Tema del libro", 120, 4110, 3975, 255, 11},
    {"txtTema", Tipo::TextoLectura, "", 4080, 4110, 4935, 285, 1, "Label11"},
    {"Label8", Tipo::Etiqueta, "Introduce un comentario refrente al libro", 120, 4710, 7455, 375,
     13},
    {"txtComentario", Tipo::MultilineaLectura, "", 120, 5190, 8895, 1935, 0, "Label8"},
    {"btnVolver", Tipo::Boton, "Volver", 2640, 7350, 1215, 495, 3},
};

// The single-line boxes and the card fields they show.
struct Caja {
    const char* nombre;
    std::string store::Ficha::*campo;
};
constexpr Caja kCajas[] = {
    {"txtTitulo", &store::Ficha::Titulo},       {"txtAutor", &store::Ficha::Autor},
    {"txtEditorial", &store::Ficha::Editorial}, {"txtFecha", &store::Ficha::Fecha},
    {"txtPaginas", &store::Ficha::Paginas},     {"txtCopias", &store::Ficha::Copias},
    {"txtCodigo", &store::Ficha::Codigo},       {"txtTema", &store::Ficha::Tema},
};

} // namespace

FrmFicha::FrmFicha(app::Ventanas& ventanas)
    : Ventana(ventanas, app::Id::Ficha, "frmFicha", "FICHA", kControles),
      txtNumero_(enlazar<QLineEdit>("txtNumero")),
      txtComentario_(enlazar<QPlainTextEdit>("txtComentario")) {
    for (std::size_t i = 0; i < cajas_.size(); ++i) {
        cajas_[i] = enlazar<QLineEdit>(kCajas[i].nombre);
    }
    connect(enlazar<QPushButton>("btnVolver"), &QPushButton::clicked, this, &FrmFicha::volver);
}

void FrmFicha::escribir(const store::Ficha& ficha) {
    txtNumero_->setText(QString::number(ficha.Numero));
    for (std::size_t i = 0; i < cajas_.size(); ++i) {
        cajas_[i]->setText(app::DesdeCp1252(ficha.*kCajas[i].campo));
    }
    txtComentario_->setPlainText(app::DesdeCp1252(ficha.Comentario));
}

// Not the plain way back: the search window is gone by now, and hiding it
// builds it hidden so that the unload two steps later destroys it again.
void FrmFicha::volver() {
    ventanas_.ocultar(app::Id::Ficha);
    ventanas_.ocultar(app::Id::Buscar);
    ventanas_.descargar(app::Id::Ficha);
    ventanas_.descargar(app::Id::Buscar);
    ventanas_.cargar(app::Id::Menu);
    ventanas_.mostrar(app::Id::Menu);
}

} // namespace win
