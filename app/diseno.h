#pragma once
// Windows are drawn from constant tables, one row per control, in the same
// terms as their design: name, kind, caption, place and size in twips, the
// place in the tab order, and what assistive technology calls the control.

#include <QWidget>
#include <span>

namespace app {

enum class Tipo {
    Boton,        // command button
    Etiqueta,     // static label, never focused
    Texto,        // single-line text box
    TextoDerecha, // single-line, right-aligned
    TextoLectura, // single-line, read-only (select and copy allowed)
    TextoNumero,  // single-line, right-aligned, disabled (greyed)
    Multilinea,   // multi-line with a vertical scroll bar
    MultilineaLectura,
    Lista,        // list box; the window gives it its model
    Opcion,       // option button; the options of a window form one group
    Marco,        // captioned frame, never focused
    CuadroImagen, // picture box with a border: takes the focus, reports a click
    Imagen,       // icon stretched to its size, never focused
};

struct Control {
    const char* nombre;
    Tipo tipo;
    const char* texto;                  // caption (UTF-8), or the resource of a picture
    int izquierda, arriba, ancho, alto; // twips
    int tab;                            // place in the tab order; -1: none
    // The control's name for assistive technology. The name of a label of the
    // same table: that label names it and is linked to it (a text box, a list
    // under one heading). Any other text is the name itself (a picture, a list
    // under two headings). Buttons, options and frames are named by their caption.
    const char* etiqueta = nullptr;
};

inline constexpr int kTwipsPorPixel = 15;
constexpr int Pixeles(int twips) {
    return (twips + kTwipsPorPixel / 2) / kTwipsPorPixel;
}

// Builds every control of the table on `cliente` and chains the focusable ones
// in tab order. Returns the first control in tab order that takes the focus.
QWidget* Construir(QWidget* cliente, std::span<const Control> tabla);

} // namespace app
