#include "app/fuentes.h"

namespace app {

QFont FuenteControles() {
    return QFont(QStringLiteral("MS Sans Serif"), 8);
}

QFont FuenteMenu() {
    QFont f(QStringLiteral("MS Sans Serif"), 12);
    f.setWeight(QFont::Normal);
    return f;
}

} // namespace app
