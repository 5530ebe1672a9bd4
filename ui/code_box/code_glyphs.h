#pragma once

#include <QFont>
#include <QHash>
#include <QStringView>
#include <array>
#include <cstdint>
#include <functional>

class QPainter;
class QPointF;

// How the code box measures and draws the characters of its text. The characters U+0000 to
// U+00FF (most of the code page) are looked up in a table; any other character, the
// code page's own above U+00FF (the euro sign, the curly quotes) among them, is measured
// once and remembered. Text is drawn in runs without kerning or ligatures, so that every
// character stands exactly at the sum of the advances before it, which is where the caret
// and the mouse place it. Control characters are drawn as a small box holding their number,
// so that a raw byte is never invisible.
class CodeGlyphs {
public:
    enum class Kind : std::uint8_t {
        Text,           // drawn in a run with its neighbours
        Blank,          // a space: drawn in runs, and a row may be broken after it
        CarriageReturn, // with a line feed after it a line break, else drawn as a control
        Control,        // a box with the character's number in hexadecimal
        Single,         // drawn on its own: the soft hyphen, characters outside the code page
    };

    struct Glyph {
        qreal advance;
        Kind kind;
        qsizetype length; // UTF-16 units: 2 for a character outside the basic plane
    };

    // The advance of one character drawn as its kind asks.
    using Measure = std::function<qreal(char32_t character, Kind kind)>;

    explicit CodeGlyphs(const QFont& font);
    // Widths from elsewhere, for checking the wrapping with simple numbers.
    explicit CodeGlyphs(const Measure& measure);

    static Kind KindOf(char32_t character);

    Glyph At(QStringView text, qsizetype at) const {
        const char16_t unit = text[at].unicode();
        if (unit < advance_.size()) {
            return {advance_[unit], kind_[unit], 1};
        }
        return Other(text, at);
    }

    // The font text is drawn with: the box's font without kerning or shaping.
    const QFont& Font() const { return font_; }
    int LineHeight() const { return lineHeight_; }
    qreal Ascent() const { return ascent_; }

    // Draws text[from, to) starting at `origin.x()` on the baseline `origin.y()` with the
    // painter's pen; returns the x where the next character would start.
    qreal Draw(QPainter& painter, QStringView text, qsizetype from, qsizetype to,
               QPointF origin) const;

private:
    Glyph Other(QStringView text, qsizetype at) const;
    void Fill();
    // Draws a control character's box, `width` wide (its advance).
    void DrawControl(QPainter& painter, char32_t character, QPointF origin, qreal width) const;

    QFont font_;
    QFont controlFont_;
    int lineHeight_ = 1;
    qreal ascent_ = 0;
    Measure measure_;
    std::array<qreal, 256> advance_{};
    std::array<Kind, 256> kind_{};
    mutable QHash<char32_t, Glyph> others_;
};
