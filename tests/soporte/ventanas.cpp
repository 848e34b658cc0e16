#include "tests/soporte/ventanas.h"

#include "app/aplicacion.h"
#include "app/cuadro_imagen.h"
#include "app/programa.h"
#include "app/texto.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

namespace prueba {

Programa::Programa() {
    app::RegistrarVentanas(ventanas);
    ventanas.salir = [this](int) { terminado = true; };
}

Programa::~Programa() {
    Procesar();
}

std::string Programa::cargadas() const {
    std::string s;
    for (int i = 0; i < app::kVentanas; ++i) {
        s += ventanas.cargada(static_cast<app::Id>(i)) ? '1' : '0';
    }
    return s;
}

QStringList Programa::visibles() {
    QStringList nombres;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && qobject_cast<app::Ventana*>(w)) {
            nombres << w->objectName();
        }
    }
    return nombres;
}

void Procesar() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void Responder(Cuadro& cuadro, const QString& boton) {
    // Polls until the modal box is up, then answers it from inside its loop.
    // The timer gives up after a while so that it never outlives `cuadro` long.
    auto* temporizador = new QTimer(qApp);
    auto intentos = std::make_shared<int>(0);
    temporizador->setInterval(5);
    QObject::connect(
        temporizador, &QTimer::timeout, temporizador, [&cuadro, boton, temporizador, intentos] {
            auto* caja = qobject_cast<app::CuadroMensaje*>(QApplication::activeModalWidget());
            if (!caja) {
                if (++*intentos > 600) {
                    temporizador->deleteLater();
                }
                return;
            }
            temporizador->stop();
            temporizador->deleteLater();
            cuadro.visto = true;
            cuadro.titulo = caja->windowTitle();
            cuadro.texto = caja->text();
            cuadro.conIcono = caja->icon() != QMessageBox::NoIcon;
            for (QAbstractButton* b : caja->buttons()) {
                cuadro.botones << b->text();
            }
            for (QAbstractButton* b : caja->buttons()) {
                if (b->text() == boton) {
                    b->click();
                }
            }
        });
    temporizador->start();
}

Vigia::Vigia() {
    QObject::connect(&reloj_, &QTimer::timeout, &reloj_, [this] {
        auto* caja = qobject_cast<app::CuadroMensaje*>(QApplication::activeModalWidget());
        if (!caja) {
            return;
        }
        ++cuadros;
        caja->buttons().back()->click();
    });
    reloj_.start(5);
}

namespace {

QString Clase(app::Tipo tipo) {
    using app::Tipo;
    switch (tipo) {
    case Tipo::Boton:
        return "QPushButton";
    case Tipo::Etiqueta:
        return "QLabel";
    case Tipo::Texto:
    case Tipo::TextoDerecha:
    case Tipo::TextoLectura:
    case Tipo::TextoNumero:
        return "QLineEdit";
    case Tipo::Multilinea:
    case Tipo::MultilineaLectura:
        return "QPlainTextEdit";
    case Tipo::Lista:
        return "QListView";
    case Tipo::Opcion:
        return "QRadioButton";
    case Tipo::Marco:
        return "QGroupBox";
    case Tipo::CuadroImagen:
        return "app::CuadroImagen";
    case Tipo::Imagen:
        return "QLabel";
    }
    return {};
}

QString Texto(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return g->title();
    }
    if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) {
        return l->text();
    }
    return {};
}

} // namespace

void VerificarTabla(const app::Ventana& ventana, std::span<const app::Control> tabla) {
    std::vector<std::pair<int, QWidget*>> focables;
    for (const app::Control& c : tabla) {
        SCOPED_TRACE(c.nombre);
        auto* w = ventana.control(c.nombre);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(w->inherits(Clase(c.tipo).toLatin1().constData()))
            << w->metaObject()->className();
        const bool conTexto = c.tipo == app::Tipo::Boton || c.tipo == app::Tipo::Etiqueta ||
                              c.tipo == app::Tipo::Opcion || c.tipo == app::Tipo::Marco;
        if (conTexto) {
            EXPECT_EQ(Texto(w), QString::fromUtf8(c.texto));
        }
        // Where it stands on the client area, whatever its parent (an option
        // lives inside its frame).
        EXPECT_EQ(QRect(w->mapTo(ventana.cliente(), QPoint(0, 0)), w->size()),
                  QRect(app::Pixeles(c.izquierda), app::Pixeles(c.arriba), app::Pixeles(c.ancho),
                        app::Pixeles(c.alto)));
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            EXPECT_FALSE(b->isDefault());
            EXPECT_FALSE(b->autoDefault());
            EXPECT_FALSE(b->text().contains('&'));
        }
        if (w->focusPolicy() != Qt::NoFocus && w->isEnabled()) {
            focables.emplace_back(c.tab, w);
        } else {
            EXPECT_TRUE(c.tipo == app::Tipo::Etiqueta || c.tipo == app::Tipo::Marco ||
                        c.tipo == app::Tipo::Imagen || c.tipo == app::Tipo::TextoNumero);
        }
    }
    std::stable_sort(focables.begin(), focables.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // A list or a multi-line box chains its own viewport and scroll bars next;
    // they take no Tab focus, so Tab goes past them as it does here.
    const auto siguiente = [](QWidget* w) {
        QWidget* n = w->nextInFocusChain();
        while (n != w && (n->focusPolicy() & Qt::TabFocus) == 0) {
            n = n->nextInFocusChain();
        }
        return n;
    };
    for (std::size_t i = 0; i + 1 < focables.size(); ++i) {
        EXPECT_EQ(siguiente(focables[i].second), focables[i + 1].second)
            << "after " << focables[i].second->objectName().toStdString();
    }
}

std::string B(const char* utf8) {
    return app::HaciaCp1252(QString::fromUtf8(utf8)).value();
}

QString Largo(int n, const QString& motivo) {
    QString texto;
    texto.reserve(n + 16);
    while (texto.size() < n) {
        texto += motivo + QString::number(texto.size());
    }
    texto.truncate(n);
    return texto;
}

QStringList Filas(const app::Ventana& ventana, const char* lista) {
    QStringList filas;
    const QAbstractItemModel* m = ventana.control<QListView>(lista)->model();
    for (int i = 0; i < m->rowCount(); ++i) {
        filas << m->index(i, 0).data().toString();
    }
    return filas;
}

void Teclear(QWidget* w, const QString& texto) {
    for (QChar c : texto) {
        if (c == QChar('\n')) {
            QTest::keyClick(w, Qt::Key_Return);
        } else {
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
        }
    }
}

QStringList CadenaFoco(QWidget* desde, int n) {
    QStringList nombres;
    QWidget* w = desde;
    for (int i = 0; i < n; ++i) {
        nombres << w->objectName();
        do {
            w = w->nextInFocusChain();
        } while (w != desde && (w->focusPolicy() & Qt::TabFocus) == 0);
    }
    return nombres;
}

} // namespace prueba

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacion(argc, argv);
    app::PrepararAplicacion();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
