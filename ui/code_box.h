#pragma once

#include "ui/ansi_text.h"

#include <QString>
#include <string_view>

class QPlainTextEdit;

// The code box's text as the code commands see it: a line break is the two bytes CR LF,
// every other character one byte through AnsiText; positions count as QTextCursor counts,
// a line break as one.
namespace CodeBox {

bool IsEmpty(const QPlainTextEdit& box);

// Puts `text` in place of the selection, or at the caret when nothing is selected, and
// leaves the caret at the start of the text with nothing selected, as assigning the whole
// text would. The edit can be undone in the box.
void ReplaceSelection(QPlainTextEdit& box, const QString& text);

// The box's bytes, or the first character that has none. Line breaks, typed with Enter
// or Shift+Enter, become CR LF.
AnsiText::Encoded Bytes(const QPlainTextEdit& box);

// Replaces the whole text by the bytes shown through AnsiText.
void SetBytes(QPlainTextEdit& box, std::string_view bytes);

} // namespace CodeBox
