#include "windows/frm_crear.h"

#include "app/mensaje.h"
#include "app/ocupado.h"
#include "app/texto.h"
#include "store/ficha.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace win {
namespace {

using app::Tipo;

constexpr app::Control kControles[] = {
    {"txtComentario", Tipo::Multilinea, "", 120, 5040, 8895, 1935, 21, "Label8"},
    {"txtTema", Tipo::Texto, "", 4080, 3960, 4935, 285, 20, "Label11"},
    {"txtNumero", Tipo::TextoNumero, "", 1080, 210, 1335, 285, 17, "Label10"},
    {"btnVolver", Tipo::Boton, "VOLVER", 2640, 7200, 1215, 495, 16},
    {"btnGuardar", Tipo::Boton, "GUARDAR", 1200, 7200, 1215, 495, 15},
    {"txtCodigo", Tipo::Texto, "", 4080, 3480, 4935, 285, 6, "Label7"},
    {"txtCopias", Tipo::Texto, "", 4080, 3000, 4935, 285, 5, "Label6"},
    {"txtPaginas", Tipo::Texto, "", 4080, 2520, 4935, 285, 4, "Label5"},
    {"txtFecha", Tipo::Texto, "", 4080, 2040, 4935, 285, 3, "Label4"},
    {"txtEditorial", Tipo::Texto, "", 4080, 1560, 4935, 285, 2, "Label3"},
    {"txtAutor", Tipo::Texto, "", 4080, 1080, 4935, 285, 1, "Label2"},
    {"txtTitulo", Tipo::Texto, "", 4080, 600, 4935, 285, 0, "Label1"},
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

// The single-line boxes of the first eight texts, in file order; the comment
// comes last.
constexpr const char* kCajas[8] = {"txtTitulo",  "txtAutor",  "txtEditorial", "txtFecha",
                                   "txtPaginas", "txtCopias", "txtCodigo",    "txtTema"};

} // namespace

FrmCrear::FrmCrear(app::Ventanas& ventanas)
    : Ventana(ventanas, app::Id::Crear, "frmCrear", "CREAR", kControles),
      txtNumero_(enlazar<QLineEdit>("txtNumero")),
      txtComentario_(enlazar<QPlainTextEdit>("txtComentario")) {
    for (std::size_t i = 0; i < cajas_.size(); ++i) {
        cajas_[i] = enlazar<QLineEdit>(kCajas[i]);
    }
    connect(enlazar<QPushButton>("btnGuardar"), &QPushButton::clicked, this,
            &FrmCrear::btnGuardarClick);
    connect(enlazar<QPushButton>("btnVolver"), &QPushButton::clicked, this, &FrmCrear::volver);
}

void FrmCrear::alCargar() {
    const app::Ocupado ocupado;
    txtNumero_->setText(QString::number(store::SiguienteNumero()));
}

// The number shown is not read: the store numbers the card afresh while it
// holds the file. The window stays as it was, whether the save worked or not,
// so a failed card can be saved again.
void FrmCrear::btnGuardarClick() {
    QStringList textos;
    for (const QLineEdit* caja : cajas_) {
        textos << caja->text();
    }
    textos << app::TextoDe(*txtComentario_);
    store::Ficha ficha;
    for (int i = 0; i < 9; ++i) {
        std::optional<std::string> bytes = app::HaciaCp1252(textos[i]);
        if (!bytes) {
            app::Mensaje(QStringLiteral("NO SE HA PODIDO GUARDAR LA FICHA\nEl texto tiene "
                                        "caracteres que no se pueden guardar."));
            return;
        }
        ficha.*store::kCampos[i] = std::move(*bytes);
    }
    store::Error error;
    {
        const app::Ocupado ocupado;
        error = store::GuardarFicha(ficha);
    }
    if (error) {
        app::Mensaje(QStringLiteral("NO SE HA PODIDO GUARDAR LA FICHA\n") +
                     QString::fromUtf8(error.causa.c_str()));
    }
}

} // namespace win
