#include "app/cuadro_imagen.h"

#include <QAccessibleWidget>
#include <QMetaMethod>
#include <QMouseEvent>

namespace app {
namespace {

// Assistive technology sees a picture box that answers a click as a button it
// can press; the press does what a click does. Keys still do nothing there.
class AccesibleCuadro : public QAccessibleWidget {
  public:
    explicit AccesibleCuadro(CuadroImagen* cuadro)
        : QAccessibleWidget(cuadro, QAccessible::Graphic) {}
    QAccessible::Role role() const override {
        return pulsable() ? QAccessible::Button : QAccessible::Graphic;
    }
    QStringList actionNames() const override {
        QStringList acciones = QAccessibleWidget::actionNames();
        if (pulsable()) {
            acciones.prepend(pressAction());
        }
        return acciones;
    }
    void doAction(const QString& accion) override {
        if (accion == pressAction() && pulsable()) {
            emit cuadro()->pulsado();
        } else {
            QAccessibleWidget::doAction(accion);
        }
    }

  private:
    CuadroImagen* cuadro() const { return static_cast<CuadroImagen*>(widget()); }
    bool pulsable() const { return cuadro()->pulsable(); }
};

QAccessibleInterface* FabricaAccesible(const QString& clase, QObject* objeto) {
    if (clase == QLatin1String("app::CuadroImagen")) {
        return new AccesibleCuadro(static_cast<CuadroImagen*>(objeto));
    }
    return nullptr;
}

} // namespace

CuadroImagen::CuadroImagen(QWidget* padre) : QLabel(padre) {
    // A border of two pixels around the picture, as the box is sized.
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
}

bool CuadroImagen::pulsable() const {
    return isSignalConnected(QMetaMethod::fromSignal(&CuadroImagen::pulsado));
}

void CuadroImagen::mousePressEvent(QMouseEvent* e) {
    pulsando_ = e->button() == Qt::LeftButton;
    setFocus(Qt::MouseFocusReason);
}

void CuadroImagen::mouseReleaseEvent(QMouseEvent* e) {
    const bool dentro = rect().contains(e->position().toPoint());
    if (pulsando_ && e->button() == Qt::LeftButton && dentro) {
        pulsando_ = false;
        emit pulsado();
    }
    pulsando_ = false;
}

void InstalarAccesibilidad() {
    QAccessible::installFactory(FabricaAccesible);
}

} // namespace app
