#pragma once
// Windows-1252 at the widget boundary: the record file holds cp1252 bytes, the
// widgets hold Unicode. Every conversion in the program goes through here.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

class QPlainTextEdit;

namespace app {

// Bytes from the record file to a widget text. CR LF, LF and a lone CR each
// become one line break.
QString DesdeCp1252(std::string_view bytes);

// A widget text to bytes for the record file; a line break becomes CR LF.
// Empty optional when some character cannot be stored in the code page.
std::optional<std::string> HaciaCp1252(const QString& texto);

// Whether one character can be stored as a single Windows-1252 byte
// (line breaks and tabs count as storable).
bool EsRepresentable(QChar c);

// The text without the characters that cannot be stored.
QString SoloRepresentable(const QString& texto);

// Leaves out, in place, the characters that cannot be stored, and moves
// `cursor` back by those that stood before it. Returns whether any was left out.
bool Depurar(QString& texto, int& cursor);

// The text of a multi-line box as it was typed, each line break as '\n'.
// QPlainTextEdit::toPlainText() turns a no-break space into a plain one,
// which the code page tells apart (0xA0 and 0x20).
QString TextoDe(const QPlainTextEdit& caja);

} // namespace app
