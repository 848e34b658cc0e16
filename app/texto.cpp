#include "app/texto.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

namespace app {
namespace {

// Bytes 0x80 to 0x9F, the only ones where Windows-1252 is not Latin-1. The five
// bytes the code page leaves undefined map to the C1 control of the same value,
// so every byte survives a round trip. A table of our own rather than ICU,
// whose cp1252 codec Qt does not guarantee.
constexpr char16_t kAlto[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int Byte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        return u;
    }
    for (int i = 0; i < 32; ++i) {
        if (kAlto[i] == u) {
            return 0x80 + i;
        }
    }
    return -1;
}

} // namespace

QString DesdeCp1252(std::string_view bytes) {
    QString texto;
    texto.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            texto.append(QChar('\n'));
        } else if (b >= 0x80 && b < 0xA0) {
            texto.append(QChar(kAlto[b - 0x80]));
        } else {
            texto.append(QChar(b));
        }
    }
    return texto;
}

std::optional<std::string> HaciaCp1252(const QString& texto) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(texto.size()));
    for (QChar c : texto) {
        if (c == QChar('\n')) {
            bytes += "\r\n";
            continue;
        }
        const int b = Byte(c);
        if (b < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(b);
    }
    return bytes;
}

bool EsRepresentable(QChar c) {
    return Byte(c) >= 0;
}

QString SoloRepresentable(const QString& texto) {
    QString limpio;
    limpio.reserve(texto.size());
    for (QChar c : texto) {
        if (EsRepresentable(c)) {
            limpio.append(c);
        }
    }
    return limpio;
}

bool Depurar(QString& texto, int& cursor) {
    const auto primera = std::find_if_not(texto.begin(), texto.end(), EsRepresentable);
    if (primera == texto.end()) {
        return false;
    }
    QString limpio;
    limpio.reserve(texto.size());
    int antes = 0;
    for (qsizetype i = 0; i < texto.size(); ++i) {
        if (EsRepresentable(texto[i])) {
            limpio.append(texto[i]);
        } else if (i < cursor) {
            ++antes;
        }
    }
    texto = std::move(limpio);
    cursor -= antes;
    return true;
}

QString TextoDe(const QPlainTextEdit& caja) {
    QString texto = caja.document()->toRawText();
    texto.replace(QChar::ParagraphSeparator, QChar('\n'));
    texto.replace(QChar::LineSeparator, QChar('\n'));
    return texto;
}

} // namespace app
