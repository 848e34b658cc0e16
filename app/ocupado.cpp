#include "app/ocupado.h"

#include <QApplication>

namespace app {

Ocupado::Ocupado() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
Ocupado::~Ocupado() {
    QApplication::restoreOverrideCursor();
}

} // namespace app
