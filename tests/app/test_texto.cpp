// The Windows-1252 boundary between the record file and the widgets.
#include "app/texto.h"
#include "app/ventanas.h"
#include "tests/soporte/soporte.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

using app::DesdeCp1252;
using app::HaciaCp1252;

TEST(Cp1252, EveryByteRoundTripsThroughTheWidgetText) {
    std::string todos;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            todos += static_cast<char>(b);
    EXPECT_EQ(HaciaCp1252(DesdeCp1252(todos)), todos);
}

TEST(Cp1252, KnownCharactersMapToTheirSingleByte) {
    struct Caso {
        const char* utf8;
        const char* cp1252;
    } casos[] = {
        {"€", "\x80"},     {"á é í ó ú", "\xE1 \xE9 \xED \xF3 \xFA"},
        {"ñÑüÜ", "\xF1\xD1\xFC\xDC"}, {"¿¡", "\xBF\xA1"},
        {"“x” ‘y’", "\x93x\x94 \x91y\x92"}, {"Œœ—…", "\x8C\x9C\x97\x85"},
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

TEST(Cp1252, TextBoxesRefuseWhatCannotBeStoredAsItIsTypedOrPasted) {
    app::Ventanas ventanas;
    ventanas.registrar(app::Id::Crear, [](app::Ventanas& v) { return new VentanaCajas(v); });
    auto& v = ventanas.obtener(app::Id::Crear);
    auto* linea = v.control<QLineEdit>("txtLinea");
    auto* varias = v.control<QPlainTextEdit>("txtVarias");

    for (QChar c : QString::fromUtf8("Año €中"))
        QTest::sendKeyEvent(QTest::Click, linea, Qt::Key_unknown, QString(c), {});
    EXPECT_EQ(linea->text(), QString::fromUtf8("Año €"));

    QApplication::clipboard()->setText(QString::fromUtf8("x中y"));
    linea->paste();
    EXPECT_EQ(linea->text(), QString::fromUtf8("Año €"));

    varias->insertPlainText(QString::fromUtf8("Línea 1\nLí中nea 2"));
    EXPECT_EQ(varias->toPlainText(), QString::fromUtf8("Línea 1\nLínea 2"));
    varias->paste();
    EXPECT_EQ(varias->toPlainText(), QString::fromUtf8("Línea 1\nLínea 2xy"));
}
