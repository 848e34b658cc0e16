// The Windows-1252 boundary between the record file and the widgets.
#include "app/texto.h"
#include "app/ventanas.h"
#include "tests/soporte/ventanas.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using app::DesdeCp1252;
using app::HaciaCp1252;

TEST(Cp1252, EveryByteRoundTripsThroughTheWidgetText) {
    std::string todos;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n') {
            todos += static_cast<char>(b);
        }
    }
    EXPECT_EQ(HaciaCp1252(DesdeCp1252(todos)), todos);
}

TEST(Cp1252, KnownCharactersMapToTheirSingleByte) {
    struct Caso {
        const char* utf8;
        const char* cp1252;
    } casos[] = {
        {"€", "\x80"},      {"á é í ó ú", "\xE1 \xE9 \xED \xF3 \xFA"}, {"ñÑüÜ", "\xF1\xD1\xFC\xDC"},
        {"¿¡", "\xBF\xA1"}, {"“x” ‘y’", "\x93x\x94 \x91y\x92"},        {"Œœ—…", "\x8C\x9C\x97\x85"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(HaciaCp1252(QString::fromUtf8(c.utf8)), std::string(c.cp1252));
        EXPECT_EQ(DesdeCp1252(c.cp1252), QString::fromUtf8(c.utf8));
    }
}

TEST(Cp1252, LineBreaksAreStoredAsCrLfAndEveryLineEndReadsAsOne) {
    EXPECT_EQ(HaciaCp1252(QStringLiteral("uno\ndos")), std::string("uno\r\ndos"));
    EXPECT_EQ(DesdeCp1252("a\r\nb\nc\rd"), QStringLiteral("a\nb\nc\nd"));
}

TEST(Cp1252, CharactersOutsideTheCodePageCannotBeStored) {
    for (const char* texto : {"中文", "emoji 😀", "Ā", "ő"}) {
        SCOPED_TRACE(texto);
        EXPECT_FALSE(HaciaCp1252(QString::fromUtf8(texto)).has_value());
    }
}

namespace {

constexpr app::Control kCajas[] = {
    {"txtLinea", app::Tipo::Texto, "", 0, 0, 1500, 285, 0},
    {"txtVarias", app::Tipo::Multilinea, "", 0, 600, 3000, 1500, 1},
};

class VentanaCajas : public app::Ventana {
  public:
    explicit VentanaCajas(app::Ventanas& v)
        : Ventana(v, app::Id::Crear, "frmCajas", "CAJAS", kCajas) {}
    void alCerrarMarco() override {}
};

} // namespace

class Cajas : public ::testing::Test {
  protected:
    Cajas() {
        ventanas.registrar(app::Id::Crear, [](app::Ventanas& v) { return new VentanaCajas(v); });
        v = &ventanas.obtener(app::Id::Crear);
        linea = v->control<QLineEdit>("txtLinea");
        varias = v->control<QPlainTextEdit>("txtVarias");
    }
    // Puts `antes` in both boxes with the cursor at `cursor`, then pastes
    // `pegado` with the keyboard; returns each box's text and cursor.
    std::pair<QString, int> PegarEnLinea(const QString& antes, int cursor, const QString& pegado) {
        linea->setText(antes);
        linea->setCursorPosition(cursor);
        QApplication::clipboard()->setText(pegado);
        QTest::keyClick(linea, Qt::Key_V, Qt::ControlModifier);
        return {linea->text(), linea->cursorPosition()};
    }
    std::pair<QString, int> PegarEnVarias(const QString& antes, int cursor, const QString& pegado) {
        varias->setPlainText(antes);
        QTextCursor c = varias->textCursor();
        c.setPosition(cursor);
        varias->setTextCursor(c);
        QApplication::clipboard()->setText(pegado);
        QTest::keyClick(varias, Qt::Key_V, Qt::ControlModifier);
        return {app::TextoDe(*varias), varias->textCursor().position()};
    }

    app::Ventanas ventanas;
    app::Ventana* v = nullptr;
    QLineEdit* linea = nullptr;
    QPlainTextEdit* varias = nullptr;
};

// One rule in every editable box: what can be stored is kept, the rest is left
// out, and the cursor stays after what was pasted.
TEST_F(Cajas, PastedTextKeepsWhatCanBeStoredInEveryBox) {
    const struct {
        const char* antes;
        int cursor;
        const char* pegado;
        const char* queda;
        int cursorFinal;
    } casos[] = {
        {"", 0, "Año, 12 € «x»", "Año, 12 € «x»", 13},
        {"", 0, "Dvořák", "Dvoák", 5},
        {"", 0, "中文ř😀", "", 0},
        {"[]", 1, "x中 y", "[x y]", 4},
        {"[]", 1, "中", "[]", 1},
        {"ab", 2, "Ωmega—fin",
         "ab"
         "mega—fin",
         10},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.pegado);
        const std::pair<QString, int> esperado{QString::fromUtf8(c.queda), c.cursorFinal};
        const QString antes = QString::fromUtf8(c.antes), pegado = QString::fromUtf8(c.pegado);
        EXPECT_EQ(PegarEnLinea(antes, c.cursor, pegado), esperado);
        EXPECT_EQ(PegarEnVarias(antes, c.cursor, pegado), esperado);
    }
}

TEST_F(Cajas, TypedCharactersThatCannotBeStoredAreLeftOut) {
    const QString tecleado = QString::fromUtf8("Año 中€ř!");
    prueba::Teclear(linea, tecleado);
    prueba::Teclear(varias, tecleado);
    EXPECT_EQ(linea->text(), QString::fromUtf8("Año €!"));
    EXPECT_EQ(app::TextoDe(*varias), QString::fromUtf8("Año €!"));
}
