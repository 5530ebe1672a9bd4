#include "ui/code_box.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The raw document text separates paragraphs with U+2029 and holds U+2028 where a line
// was broken with Shift+Enter; both are a line break to the user. (toPlainText() is not
// used: it turns the no-break space, byte 0xA0, into a plain space.)
bool IsLineBreak(QChar character) {
    return character == QChar::ParagraphSeparator || character == QChar::LineSeparator;
}

} // namespace

namespace CodeBox {

bool IsEmpty(const QPlainTextEdit& box) {
    return box.document()->isEmpty();
}

void ReplaceSelection(QPlainTextEdit& box, const QString& text) {
    QTextCursor cursor = box.textCursor();
    cursor.insertText(text);
    cursor.movePosition(QTextCursor::Start);
    box.setTextCursor(cursor);
}

AnsiText::Encoded Bytes(const QPlainTextEdit& box) {
    const QString raw = box.document()->toRawText();
    AnsiText::Encoded result;
    result.bytes.reserve(static_cast<std::size_t>(raw.size()));
    qsizetype lineStart = 0;
    for (qsizetype at = 0; at <= raw.size(); ++at) {
        if (at < raw.size() && !IsLineBreak(raw[at])) {
            continue;
        }
        AnsiText::Encoded line =
            AnsiText::ToBytes(QStringView(raw).sliced(lineStart, at - lineStart));
        if (!line) {
            line.unmappable->position += lineStart;
            return line;
        }
        result.bytes += line.bytes;
        if (at < raw.size()) {
            result.bytes += "\r\n";
        }
        lineStart = at + 1;
    }
    return result;
}

void SetBytes(QPlainTextEdit& box, std::string_view bytes) {
    box.setPlainText(AnsiText::FromBytes(bytes));
}

} // namespace CodeBox
