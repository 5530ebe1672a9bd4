#include "ui/code_box/code_text.h"

#include <algorithm>

namespace {

using CodeText::IsLineBreakAt;

enum class WordClass { Blank, LineBreak, Word, Other };

bool IsBlank(QChar character) {
    return character == u' ' || character == u'\t';
}

WordClass ClassAt(QStringView text, qsizetype at) {
    const QChar character = text[at];
    if (IsBlank(character)) {
        return WordClass::Blank;
    }
    if (IsLineBreakAt(text, at)) {
        return WordClass::LineBreak;
    }
    char32_t codePoint = character.unicode();
    if (character.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(character, text[at + 1]);
    }
    if (QChar::isLetterOrNumber(codePoint) || QChar::isMark(codePoint) || codePoint == U'_') {
        return WordClass::Word;
    }
    return WordClass::Other;
}

// The class of the character just before `position`.
WordClass ClassBefore(QStringView text, qsizetype position) {
    return ClassAt(text, CodeText::PreviousBoundary(text, position));
}

qsizetype SkipForward(QStringView text, qsizetype position, WordClass kind) {
    while (position < text.size() && ClassAt(text, position) == kind) {
        position = CodeText::NextBoundary(text, position);
    }
    return position;
}

qsizetype SkipBackward(QStringView text, qsizetype position, WordClass kind) {
    while (position > 0 && ClassBefore(text, position) == kind) {
        position = CodeText::PreviousBoundary(text, position);
    }
    return position;
}

} // namespace

namespace CodeText {

bool IsLineBreakAt(QStringView text, qsizetype at) {
    return at >= 0 && at + 1 < text.size() && text[at] == CarriageReturn &&
           text[at + 1] == LineFeed;
}

bool IsBoundary(QStringView text, qsizetype position) {
    if (position <= 0 || position >= text.size()) {
        return true;
    }
    const QChar before = text[position - 1];
    const QChar after = text[position];
    return !(before == CarriageReturn && after == LineFeed) &&
           !(before.isHighSurrogate() && after.isLowSurrogate());
}

qsizetype NextBoundary(QStringView text, qsizetype position) {
    if (position >= text.size()) {
        return text.size();
    }
    return IsBoundary(text, position + 1) ? position + 1 : position + 2;
}

qsizetype PreviousBoundary(QStringView text, qsizetype position) {
    if (position <= 0) {
        return 0;
    }
    return IsBoundary(text, position - 1) ? position - 1 : position - 2;
}

qsizetype BoundaryAtOrBefore(QStringView text, qsizetype position) {
    position = std::clamp<qsizetype>(position, 0, text.size());
    return IsBoundary(text, position) ? position : position - 1;
}

qsizetype BoundaryAtOrAfter(QStringView text, qsizetype position) {
    position = std::clamp<qsizetype>(position, 0, text.size());
    return IsBoundary(text, position) ? position : position + 1;
}

qsizetype NextWordStart(QStringView text, qsizetype position) {
    if (position >= text.size()) {
        return text.size();
    }
    const WordClass kind = ClassAt(text, position);
    if (kind == WordClass::LineBreak) {
        return position + 2;
    }
    if (kind != WordClass::Blank) {
        position = SkipForward(text, position, kind);
    }
    return SkipForward(text, position, WordClass::Blank);
}

qsizetype PreviousWordStart(QStringView text, qsizetype position) {
    if (position <= 0) {
        return 0;
    }
    const qsizetype afterBlanks = SkipBackward(text, position, WordClass::Blank);
    if (afterBlanks == 0) {
        return 0;
    }
    const WordClass kind = ClassBefore(text, afterBlanks);
    if (kind == WordClass::LineBreak) {
        // Blanks at the start of a line stop at the line start; a bare line break is a step.
        return afterBlanks < position ? afterBlanks : afterBlanks - 2;
    }
    return SkipBackward(text, afterBlanks, kind);
}

std::pair<qsizetype, qsizetype> WordAt(QStringView text, qsizetype position) {
    position = BoundaryAtOrBefore(text, position);
    // Past the end of a line's characters the word before is meant.
    if (position > 0 && (position == text.size() || IsLineBreakAt(text, position)) &&
        ClassBefore(text, position) != WordClass::LineBreak) {
        position = PreviousBoundary(text, position);
    }
    if (position >= text.size() || IsLineBreakAt(text, position)) {
        return {position, position};
    }
    const WordClass kind = ClassAt(text, position);
    return {SkipBackward(text, position, kind), SkipForward(text, position, kind)};
}

QString ToPlainText(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (IsLineBreakAt(text, at)) {
            plain += QChar(LineFeed);
            ++at;
        } else {
            plain += text[at];
        }
    }
    return plain;
}

QString FromPlainText(QStringView text) {
    QString result;
    result.reserve(text.size() + text.size() / 8);
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text[at];
        if (IsLineBreakAt(text, at)) {
            result += LineBreak;
            ++at;
        } else if (character == LineFeed || character == QChar::LineSeparator ||
                   character == QChar::ParagraphSeparator) {
            result += LineBreak;
        } else {
            result += character;
        }
    }
    return result;
}

} // namespace CodeText
