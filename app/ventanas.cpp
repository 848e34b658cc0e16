#include "app/ventanas.h"

#include "app/fuentes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

namespace app {

Ventana::Ventana(Ventanas& ventanas, Id id, const char* nombre, const char* titulo,
                 std::span<const Control> tabla, Desplazar desplazar)
    : ventanas_(ventanas), id_(id) {
    setObjectName(QString::fromLatin1(nombre));
    setWindowTitle(QString::fromUtf8(titulo));
    setFont(FuenteControles());
    cliente_ = new QWidget(this);
    if (desplazar == Desplazar::No) {
        setCentralWidget(cliente_);
        primerFoco_ = Construir(cliente_, tabla);
        return;
    }
    // The client goes into the scroll area before its controls are built, so
    // that no later change of parent can disturb their tab order.
    auto* area = new QScrollArea(this);
    area->setObjectName(QStringLiteral("desplazamiento"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);
    area->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
    area->setWidgetResizable(true);
    area->setWidget(cliente_);
    setCentralWidget(area);
    primerFoco_ = Construir(cliente_, tabla);
    // The scrolled extent is the box that holds the controls, not the design
    // client area, which can be wider than a small screen's (the main menu's).
    const QRect caja = cliente_->childrenRect();
    cliente_->setMinimumSize(caja.x() + caja.width(), caja.y() + caja.height());
    sigueFoco_ = connect(qApp, &QApplication::focusChanged, area, [area](QWidget*, QWidget* ahora) {
        // The area may have given its client up (takeWidget) and hold none.
        const QWidget* contenido = area->widget();
        if (ahora && contenido && contenido->isAncestorOf(ahora)) {
            area->ensureWidgetVisible(ahora, 0, 0);
        }
    });
}

// Destroying the controls moves the focus, and the scroll area is half gone
// by then: stop following the focus before any control dies.
Ventana::~Ventana() {
    disconnect(sigueFoco_);
}

void Ventana::faltaControl(const char* nombre, const char* clase) const {
    qFatal("window %s has no %s named %s", qPrintable(objectName()), clase, nombre);
}

void Ventana::irAlMenu() {
    ventanas_.ocultar(id_);
    ventanas_.descargar(id_);
    ventanas_.cargar(Id::Menu);
    ventanas_.mostrar(Id::Menu);
}

void Ventana::closeEvent(QCloseEvent* e) {
    // The window operations never close a window; a close event comes from the
    // frame, the system menu or the system's close key.
    e->ignore();
    if (!descargando_) {
        alCerrarMarco();
    }
}

Ventanas::Ventanas() : salir([](int codigo) { QCoreApplication::exit(codigo); }) {}

Ventanas::~Ventanas() {
    for (auto& v : ventanas_) {
        delete v.data();
    }
}

void Ventanas::cargar(Id id) {
    if (cargada(id)) {
        return;
    }
    Ventana* v = fabricas_[Indice(id)](*this);
    ventanas_[Indice(id)] = v;
    v->alCargar();
}

Ventana& Ventanas::obtener(Id id) {
    cargar(id);
    return *ventanas_[Indice(id)];
}

void Ventanas::mostrar(Id id) {
    Ventana& v = obtener(id);
    v.showMaximized();
    v.raise();
    v.activateWindow();
    // First show: the first control in tab order; shown again: the control
    // that had the focus when the window was hidden.
    QWidget* foco = v.mostrada_ ? v.focoGuardado_.data() : v.primerFoco_;
    if (foco && foco->isEnabled()) {
        foco->setFocus(Qt::OtherFocusReason);
    }
    v.mostrada_ = true;
}

void Ventanas::ocultar(Id id) {
    Ventana& v = obtener(id);
    if (v.isVisible()) {
        v.focoGuardado_ = v.focusWidget();
    }
    v.hide();
}

void Ventanas::descargar(Id id) {
    Ventana* v = ventanas_[Indice(id)];
    if (!v || v->descargando_) {
        return;
    }
    v->descargando_ = true;
    v->alPedirCierre();
    ventanas_[Indice(id)] = nullptr;
    v->hide();
    // Destroyed once the running handler, possibly one of its own, has returned.
    v->deleteLater();
    comprobarFin();
}

void Ventanas::terminar() {
    for (auto& v : ventanas_) {
        if (v) {
            v->descargando_ = true;
            v->hide();
            v->deleteLater();
            v = nullptr;
        }
    }
    salir(0);
}

bool Ventanas::ninguna() const {
    return std::all_of(ventanas_.begin(), ventanas_.end(), [](const auto& v) { return !v; });
}

void Ventanas::comprobarFin() {
    // The program ends when a handler has finished and no window is loaded; a
    // handler that unloads the last window and loads another does not end it.
    QTimer::singleShot(0, this, [this] {
        if (ninguna()) {
            salir(0);
        }
    });
}

} // namespace app
