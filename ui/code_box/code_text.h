#pragma once

#include <QString>
#include <QStringView>
#include <utility>

// Where the caret may stand in the code box's text and how it moves by words. A line break
// is the two characters CR LF, and the caret never stands between them, nor between the two
// halves of a character outside the basic plane; both count as one step for the arrow keys.
namespace CodeText {

inline constexpr char16_t CarriageReturn = u'\r';
inline constexpr char16_t LineFeed = u'\n';
inline constexpr QStringView LineBreak = u"\r\n";

// A CR at `at` with an LF right after it.
bool IsLineBreakAt(QStringView text, qsizetype at);

// Whether the caret may stand before text[position]; 0 and the end always qualify.
bool IsBoundary(QStringView text, qsizetype position);

// The caret place one step to the right or left; the end or the start stays where it is.
qsizetype NextBoundary(QStringView text, qsizetype position);
qsizetype PreviousBoundary(QStringView text, qsizetype position);

// The nearest caret place at or before / at or after `position` (clamped to the text).
qsizetype BoundaryAtOrBefore(QStringView text, qsizetype position);
qsizetype BoundaryAtOrAfter(QStringView text, qsizetype position);

// Ctrl+Right: past the rest of the current word and the blanks after it; a line break is
// a word of its own. Ctrl+Left: back to the start of the word before the caret.
qsizetype NextWordStart(QStringView text, qsizetype position);
qsizetype PreviousWordStart(QStringView text, qsizetype position);

// The word a double click at `position` selects: a run of letters and digits, of other
// visible characters or of blanks. Empty at a line break or on an empty line.
std::pair<qsizetype, qsizetype> WordAt(QStringView text, qsizetype position);

// Text for other programs: each CR LF becomes the platform's "\n"; every other character
// is kept, lone CR and LF included.
QString ToPlainText(QStringView text);

// Text from other programs or an input method: each "\r\n", lone "\n" and Unicode line or
// paragraph separator becomes CR LF, the line break the box holds; a lone CR is kept.
QString FromPlainText(QStringView text);

} // namespace CodeText
