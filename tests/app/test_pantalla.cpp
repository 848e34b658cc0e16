// What the screen shows whatever the desktop around it: the program's own
// fonts against a large desktop font, and the scroll area invisible on a
// screen as large as the design.
#include "app/diseno.h"
#include "app/ventanas.h"
#include "tests/soporte/ventanas.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTest>
#include <optional>

using app::Id;
using prueba::Procesar;

namespace {

constexpr Id kTodas[] = {Id::Inicio, Id::Menu,  Id::Edicion, Id::Crear,
                         Id::Buscar, Id::Ficha, Id::Lista};

// Room the caption of a control needs, next to what it has.
struct Hueco {
    QString texto;
    int necesita, tiene;
};

std::optional<Hueco> Medir(QWidget* w) {
    const QFontMetrics fm(w->font());
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        return Hueco{b->text(), fm.horizontalAdvance(b->text()) + 4, b->width()};
    }
    if (auto* o = qobject_cast<QRadioButton*>(w)) {
        const int marca = o->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, o) +
                          o->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, o);
        return Hueco{o->text(), marca + fm.horizontalAdvance(o->text()), o->width()};
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return Hueco{g->title(), fm.horizontalAdvance(g->title()) + 8, g->width()};
    }
    if (auto* l = qobject_cast<QLabel*>(w); l && l->pixmap().isNull()) {
        // A wrapped label is cut at the bottom, or where one word is too wide.
        const QRect r =
            fm.boundingRect(QRect(0, 0, l->width(), 10'000), Qt::TextWordWrap, l->text());
        if (r.width() > l->width()) {
            return Hueco{l->text(), r.width(), l->width()};
        }
        return Hueco{l->text(), r.height(), l->height()};
    }
    return std::nullopt;
}

} // namespace

// A desktop font set from outside before the windows are built (as a platform
// theme does) must not reach the fixed layouts: every caption keeps the font
// it was drawn for and fits its box.
TEST(Fuentes, ALargeDesktopFontCutsNoCaption) {
    prueba::DirTemporal dir;
    const QFont anterior = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("DejaVu Serif"), 20));
    {
        prueba::Programa p;
        for (Id id : kTodas) {
            app::Ventana& v = p.ventanas.obtener(id);
            SCOPED_TRACE(v.objectName().toStdString());
            for (QWidget* w : v.cliente()->findChildren<QWidget*>()) {
                const auto hueco = Medir(w);
                if (!hueco || w->objectName().isEmpty()) {
                    continue;
                }
                SCOPED_TRACE(w->objectName().toStdString());
                EXPECT_LE(hueco->necesita, hueco->tiene) << hueco->texto.toStdString();
                EXPECT_LE(w->font().pointSize(), 12);
            }
        }
    }
    QApplication::setFont(anterior);
    Procesar();
}

// On a screen as large as the design the scroll area changes not one pixel:
// each window, shown maximized, is drawn exactly as it is without it.
TEST(Desplazamiento, OnAFullSizeScreenEveryWindowLooksAsWithoutIt) {
    prueba::DirTemporal dir;
    prueba::Programa p;
    // The window as shown; `sinArea`: with its client area put straight in
    // place of the scroll area before it is shown, as a window that does not
    // scroll has it.
    const auto foto = [&p](Id id, bool sinArea) {
        p.ventanas.cargar(id);
        app::Ventana& v = p.ventanas.obtener(id);
        if (auto* area = v.findChild<QScrollArea*>(); area && sinArea) {
            QWidget* cliente = area->takeWidget();
            cliente->setMinimumSize(0, 0);
            v.setCentralWidget(cliente);
        }
        p.ventanas.mostrar(id);
        Procesar();
        const QImage imagen = v.grab().toImage();
        const bool desplaza = v.findChild<QScrollArea*>() != nullptr;
        p.ventanas.ocultar(id);
        p.ventanas.descargar(id);
        Procesar();
        return std::pair{imagen, desplaza};
    };
    for (Id id : kTodas) {
        const auto [sin, noDesplaza] = foto(id, true);
        const auto [con, desplaza] = foto(id, false);
        SCOPED_TRACE(static_cast<int>(id));
        EXPECT_FALSE(noDesplaza);
        EXPECT_EQ(desplaza, id != Id::Inicio);
        ASSERT_EQ(con.size(), sin.size());
        EXPECT_TRUE(con == sin);
    }
}

// On a smaller screen the client area scrolls, and Tab brings the focused
// control into view; the scroll area and its bars never take the focus.
TEST(Desplazamiento, OnASmallScreenTheFocusedControlIsScrolledIntoView) {
    prueba::DirTemporal dir;
    prueba::Programa p;
    p.ventanas.cargar(Id::Crear);
    p.ventanas.mostrar(Id::Crear);
    app::Ventana& v = p.ventanas.obtener(Id::Crear);
    v.showNormal();
    v.resize(400, 300);
    Procesar();
    auto* area = v.findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->focusPolicy(), Qt::NoFocus);
    const auto visible = [&](QWidget* w) {
        const QRect r(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
        return area->viewport()->rect().contains(r);
    };
    auto* guardar = v.control<QPushButton>("btnGuardar");
    ASSERT_FALSE(visible(guardar));
    QStringList recorridos;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        recorridos << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(recorridos, QStringList({"txtAutor", "txtEditorial", "txtFecha", "txtPaginas",
                                       "txtCopias", "txtCodigo", "btnGuardar"}));
    EXPECT_TRUE(visible(guardar));
}
