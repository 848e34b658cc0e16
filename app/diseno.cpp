#include "app/diseno.h"

#include "app/cuadro_imagen.h"
#include "app/fuentes.h"
#include "app/texto.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QValidator>
#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

namespace app {
namespace {

// Every editable box keeps what the record file can store of a typed or
// pasted text and leaves the other characters out, so what the user sees is
// what is saved. A single-line box does it in its validator, which may rewrite
// the text: the box then shows the rewritten one.
class ValidadorCp1252 : public QValidator {
  public:
    using QValidator::QValidator;
    State validate(QString& texto, int& cursor) const override {
        Depurar(texto, cursor);
        return Acceptable;
    }
};

QLineEdit* NuevoTexto(QWidget* cliente, Tipo tipo) {
    auto* t = new QLineEdit(cliente);
    // Texts have no length limit; Qt's default would cut them at 32,767
    // characters. Every single-line box of the program is made here.
    t->setMaxLength(std::numeric_limits<int>::max());
    t->setValidator(new ValidadorCp1252(t));
    if (tipo == Tipo::TextoDerecha || tipo == Tipo::TextoNumero) {
        t->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    t->setReadOnly(tipo == Tipo::TextoLectura);
    t->setEnabled(tipo != Tipo::TextoNumero);
    return t;
}

QPlainTextEdit* NuevoMultilinea(QWidget* cliente, Tipo tipo) {
    auto* t = new QPlainTextEdit(cliente);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    t->setTabChangesFocus(true);
    t->setReadOnly(tipo == Tipo::MultilineaLectura);
    if (tipo == Tipo::MultilineaLectura) {
        t->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    // A plain text box has no validator: the same rule, applied once the text
    // has arrived.
    QObject::connect(t, &QPlainTextEdit::textChanged, t, [t] {
        QString texto = TextoDe(*t);
        int cursor = t->textCursor().position();
        if (!Depurar(texto, cursor)) {
            return;
        }
        const QSignalBlocker bloqueo(t);
        t->setPlainText(texto);
        QTextCursor c = t->textCursor();
        c.setPosition(cursor);
        t->setTextCursor(c);
    });
    return t;
}

QWidget* Nuevo(QWidget* cliente, const Control& c) {
    const QString texto = QString::fromUtf8(c.texto);
    switch (c.tipo) {
    case Tipo::Boton: {
        auto* b = new QPushButton(texto, cliente);
        b->setAutoDefault(false);
        return b;
    }
    case Tipo::Etiqueta: {
        auto* l = new QLabel(texto, cliente);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        return l;
    }
    case Tipo::Texto:
    case Tipo::TextoDerecha:
    case Tipo::TextoLectura:
    case Tipo::TextoNumero:
        return NuevoTexto(cliente, c.tipo);
    case Tipo::Multilinea:
    case Tipo::MultilineaLectura:
        return NuevoMultilinea(cliente, c.tipo);
    case Tipo::Lista: {
        auto* l = new QListView(cliente);
        l->setUniformItemSizes(true);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return l;
    }
    case Tipo::Opcion:
        return new QRadioButton(texto, cliente);
    case Tipo::Marco:
        return new QGroupBox(texto, cliente);
    case Tipo::CuadroImagen: {
        auto* p = new CuadroImagen(cliente);
        if (!texto.isEmpty()) {
            p->setPixmap(QPixmap(texto));
        }
        return p;
    }
    case Tipo::Imagen: {
        auto* i = new QLabel(cliente);
        i->setPixmap(QPixmap(texto));
        i->setScaledContents(true);
        return i;
    }
    }
    return nullptr;
}

// Names each control of the table for assistive technology, from its column.
void Nombrar(QWidget* cliente, std::span<const Control> tabla) {
    for (const Control& c : tabla) {
        if (!c.etiqueta) {
            continue;
        }
        QWidget* w = cliente->findChild<QWidget*>(QString::fromLatin1(c.nombre));
        const auto rotulo = std::find_if(tabla.begin(), tabla.end(), [&](const Control& o) {
            return o.tipo == Tipo::Etiqueta && std::string_view(o.nombre) == c.etiqueta;
        });
        if (rotulo == tabla.end()) {
            w->setAccessibleName(QString::fromUtf8(c.etiqueta));
            continue;
        }
        auto* l = cliente->findChild<QLabel*>(QString::fromLatin1(rotulo->nombre));
        l->setBuddy(w);
        w->setAccessibleName(l->text());
    }
}

// The options drawn over a frame become its children, so that assistive
// technology finds them inside its group. They keep their place on the screen.
void Agrupar(QWidget* cliente) {
    for (QGroupBox* marco : cliente->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        for (QRadioButton* o : cliente->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            if (marco->geometry().contains(o->geometry())) {
                const QRect r = o->geometry().translated(-marco->pos());
                o->setParent(marco);
                o->setGeometry(r);
            }
        }
    }
}

bool SinFoco(Tipo tipo) {
    return tipo == Tipo::Etiqueta || tipo == Tipo::Marco || tipo == Tipo::Imagen ||
           tipo == Tipo::TextoNumero;
}

} // namespace

QWidget* Construir(QWidget* cliente, std::span<const Control> tabla) {
    std::vector<std::pair<int, QWidget*>> cadena;
    for (const Control& c : tabla) {
        QWidget* w = Nuevo(cliente, c);
        w->setObjectName(QString::fromLatin1(c.nombre));
        // Set on the control itself, so that neither the desktop's font nor
        // the application's can replace it and cut captions.
        w->setFont(FuenteControles());
        w->setGeometry(Pixeles(c.izquierda), Pixeles(c.arriba), Pixeles(c.ancho), Pixeles(c.alto));
        if (SinFoco(c.tipo)) {
            w->setFocusPolicy(Qt::NoFocus);
        } else {
            cadena.emplace_back(c.tab, w);
        }
    }
    // Frames are drawn first so that the options over them stay visible.
    for (QGroupBox* marco : cliente->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly)) {
        marco->lower();
    }
    Agrupar(cliente);
    Nombrar(cliente, tabla);
    std::stable_sort(cadena.begin(), cadena.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < cadena.size(); ++i) {
        QWidget::setTabOrder(cadena[i - 1].second, cadena[i].second);
    }
    return cadena.empty() ? nullptr : cadena.front().second;
}

} // namespace app
