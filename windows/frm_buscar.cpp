#include "windows/frm_buscar.h"

#include "app/mensaje.h"
#include "app/ocupado.h"
#include "app/texto.h"
#include "store/catalogo.h"
#include "windows/frm_ficha.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace win {
namespace {

using app::Tipo;

constexpr app::Control kControles[] = {
    {"Label1", Tipo::Etiqueta, "BUSCAR PALABRA", 600, 240, 1695, 495, 0},
    {"txtBuscar", Tipo::Texto, "", 2400, 240, 4095, 285, 1, "Label1"},
    {"Label2", Tipo::Etiqueta, "POR", 6600, 240, 1215, 495, 8},
    {"frmOpciones", Tipo::Marco, "OPCIONES", 7920, 120, 3855, 2175, 2},
    {"optTitulo", Tipo::Opcion, "TÍTULO DEL LIBRO", 8280, 360, 3255, 375, 3},
    {"optAutor", Tipo::Opcion, "AUTOR DEL LIBRO", 8280, 720, 3375, 375, 4},
    {"optEditorial", Tipo::Opcion, "EDITORIAL DEL LIBRO", 8280, 1080, 3375, 375, 5},
    {"optCodigo", Tipo::Opcion, "CÓDIGO DEL LIBRO", 8280, 1440, 3375, 375, 6},
    {"optTema", Tipo::Opcion, "TEMA DEL LIBRO", 8280, 1800, 3375, 375, 7},
    {"btnBuscar", Tipo::Boton, "BUSCAR", 4080, 1080, 1215, 495, 9},
    {"Label4", Tipo::Etiqueta, "Fichas encontradas:", 240, 2280, 1695, 255, 15},
    {"txtNtotal", Tipo::TextoDerecha, "", 2040, 2280, 1215, 285, 14, "Label4"},
    {"Label5", Tipo::Etiqueta, "Nº", 120, 2760, 255, 255, 17},
    {"Label6", Tipo::Etiqueta, "Autor", 480, 2760, 3015, 255, 18},
    {"Label7", Tipo::Etiqueta, "Título", 3600, 2760, 3615, 255, 19},
    {"Label8", Tipo::Etiqueta, "Editorial", 7320, 2760, 1695, 255, 20},
    {"Label9", Tipo::Etiqueta, "Código", 9000, 2760, 975, 255, 21},
    {"Label10", Tipo::Etiqueta, "Tema", 10080, 2760, 1575, 255, 22},
    {"LstAutor", Tipo::Lista, "", 120, 3000, 3375, 3375, 16, "Nº y autor"},
    {"LstTitulo", Tipo::Lista, "", 3480, 3000, 3855, 3375, 23, "Label7"},
    {"LstEditorial", Tipo::Lista, "", 7320, 3000, 1695, 3375, 24, "Label8"},
    {"LstCodigo", Tipo::Lista, "", 9000, 3000, 1095, 3375, 25, "Label9"},
    {"LstTema", Tipo::Lista, "", 10080, 3000, 1695, 3375, 26, "Label10"},
    {"Label3", Tipo::Etiqueta, "Introduce el número de ficha deseado:", 240, 6960, 2895, 255, 10},
    {"txtNlista", Tipo::Texto, "", 3240, 6960, 1215, 285, 11, "Label3"},
    {"btnAbrir", Tipo::Boton, "ABRIR", 4920, 7440, 1215, 495, 12},
    {"btnVolver", Tipo::Boton, "VOLVER", 6360, 7440, 1215, 495, 13},
};

// The options in the order they are examined, and the field each chooses.
struct Opcion {
    const char* nombre;
    store::CampoDe<std::string_view> campo;
};
constexpr Opcion kOpciones[] = {
    {"optTitulo", &store::VistaFicha::Titulo},       {"optAutor", &store::VistaFicha::Autor},
    {"optEditorial", &store::VistaFicha::Editorial}, {"optCodigo", &store::VistaFicha::Codigo},
    {"optTema", &store::VistaFicha::Tema},
};

} // namespace

FrmBuscar::FrmBuscar(app::Ventanas& ventanas)
    : Ventana(ventanas, app::Id::Buscar, "frmBuscar", "BUSQUEDA DE FICHAS", kControles),
      txtBuscar_(enlazar<QLineEdit>("txtBuscar")), txtNtotal_(enlazar<QLineEdit>("txtNtotal")),
      txtNlista_(enlazar<QLineEdit>("txtNlista")), listas_(*this) {
    for (std::size_t i = 0; i < opciones_.size(); ++i) {
        opciones_[i] = enlazar<QRadioButton>(kOpciones[i].nombre);
    }
    connect(enlazar<QPushButton>("btnBuscar"), &QPushButton::clicked, this,
            &FrmBuscar::btnBuscarClick);
    connect(enlazar<QPushButton>("btnAbrir"), &QPushButton::clicked, this,
            &FrmBuscar::btnAbrirClick);
    connect(enlazar<QPushButton>("btnVolver"), &QPushButton::clicked, this, &FrmBuscar::volver);
}

// The box leaves out what the file cannot store, so a text that cannot be
// converted matches nothing.
void FrmBuscar::btnBuscarClick() {
    const auto elegida = std::find_if(opciones_.begin(), opciones_.end(),
                                      [](const QRadioButton* o) { return o->isChecked(); });
    std::int64_t encontradas = 0;
    if (elegida == opciones_.end()) {
        app::Mensaje(QStringLiteral("DEBE ELEGIR UNA OPCIÓN DE BUSQUEDA"));
    } else if (const auto texto = app::HaciaCp1252(txtBuscar_->text())) {
        const app::Ocupado ocupado;
        encontradas =
            store::BuscarFichas(kOpciones[elegida - opciones_.begin()].campo, *texto,
                                [this](const store::VistaFicha& ficha) { listas_.anadir(ficha); });
        listas_.publicar();
    }
    txtNtotal_->setText(QString::number(encontradas));
}

// Opens the first card with the typed number; when there is none the search
// window stays exactly as it was. Not the way back to the menu: the search
// unloads itself last, once the card it wrote into is on the screen.
void FrmBuscar::btnAbrirClick() {
    const QString texto = txtNlista_->text();
    if (texto.isEmpty()) {
        return;
    }
    std::optional<store::Ficha> hallada;
    const std::optional<std::string> bytes = app::HaciaCp1252(texto);
    if (const auto numero = bytes ? store::NumeroTecleado(*bytes) : std::nullopt) {
        const app::Ocupado ocupado;
        hallada = store::FichaConNumero(*numero);
    }
    if (!hallada) {
        app::Mensaje(QStringLiteral("NO EXISTE NINGUNA FICHA CON ESE NÚMERO"));
        return;
    }
    ventanas_.obtener<FrmFicha>(app::Id::Ficha).escribir(*hallada);
    ventanas_.ocultar(app::Id::Buscar);
    ventanas_.cargar(app::Id::Ficha);
    ventanas_.mostrar(app::Id::Ficha);
    ventanas_.descargar(app::Id::Buscar);
}

} // namespace win
