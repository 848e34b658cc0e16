#include "windows/frm_lista.h"

#include "app/ocupado.h"
#include "store/catalogo.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <optional>

namespace win {
namespace {

using app::Tipo;

constexpr app::Control kControles[] = {
    {"btnVolver", Tipo::Boton, "VOLVER", 5400, 7440, 1215, 495, 13},
    {"LstAutor", Tipo::Lista, "", 120, 960, 3375, 6300, 6, "Nº y autor"},
    {"LstTitulo", Tipo::Lista, "", 3480, 960, 3855, 6300, 5, "Label7"},
    {"LstEditorial", Tipo::Lista, "", 7320, 960, 1695, 6300, 4, "Label8"},
    {"LstCodigo", Tipo::Lista, "", 9000, 960, 1095, 6300, 3, "Label9"},
    {"LstTema", Tipo::Lista, "", 10080, 960, 1695, 6300, 2, "Label10"},
    {"txtNumero", Tipo::TextoLectura, "", 1440, 240, 1215, 285, 1, "Label1"},
    {"Label5", Tipo::Etiqueta, "Nº", 120, 720, 255, 255, 12},
    {"Label6", Tipo::Etiqueta, "Autor", 480, 720, 3015, 255, 11},
    {"Label7", Tipo::Etiqueta, "Título", 3600, 720, 3615, 255, 10},
    {"Label8", Tipo::Etiqueta, "Editorial", 7320, 720, 1695, 255, 9},
    {"Label9", Tipo::Etiqueta, "Código", 9000, 720, 975, 255, 8},
    {"Label10", Tipo::Etiqueta, "Tema", 10080, 720, 1575, 255, 7},
    {"Label1", Tipo::Etiqueta, "Nº fichas", 120, 240, 1215, 255, 0},
};

} // namespace

FrmLista::FrmLista(app::Ventanas& ventanas)
    : Ventana(ventanas, app::Id::Lista, "frmLista", "LISTA DE LIBROS", kControles),
      txtNumero_(enlazar<QLineEdit>("txtNumero")), listas_(*this) {
    connect(enlazar<QPushButton>("btnVolver"), &QPushButton::clicked, this, &FrmLista::volver);
}

// Lists every card up to the first one numbered 0; the number box shows the
// number of the last card listed, not a count of rows.
void FrmLista::alCargar() {
    std::optional<std::int64_t> ultimo;
    {
        const app::Ocupado ocupado;
        ultimo =
            store::ListarFichas([this](const store::VistaFicha& ficha) { listas_.anadir(ficha); });
        listas_.publicar();
    }
    txtNumero_->setText(ultimo ? QString::number(*ultimo) : QString());
}

} // namespace win
