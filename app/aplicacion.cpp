#include "app/aplicacion.h"

#include "app/cuadro_imagen.h"
#include "app/fuentes.h"

#include <QApplication>
#include <QFont>

namespace app {

void PrepararAplicacion() {
    // The windows were drawn for "MS Sans Serif", 8 points for every control and
    // 12 for the menu buttons. Linux does not have it: ask for it by name and
    // let a sans-serif of similar width stand in, so captions fit their boxes.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Sans Serif")});
    // Every window and control also carries its font itself (see the layout
    // builder); this one is for the message boxes.
    QApplication::setFont(FuenteControles());
    InstalarAccesibilidad();
    // Hidden windows stay loaded: the window table alone decides when to end.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("folioteca"));
}

} // namespace app
