#include "ui/code_box/code_glyphs.h"

#include "ui/code_page/ansi_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QtMath>
#include <algorithm>

namespace {

constexpr qreal ControlPadding = 3; // on each side of a control's number, its box included
constexpr qreal ControlScale = 0.7; // the number's size against the text's

bool IsInBasicPlane(char32_t character) {
    return character <= 0xFFFF;
}

QString StringOf(char32_t character) {
    return QString::fromUcs4(&character, 1);
}

// The control's number: two hexadecimal digits for a byte, more for a wider code point.
QString HexOf(char32_t character) {
    return QString::number(static_cast<uint>(character), 16).toUpper().rightJustified(2, u'0');
}

// What a character drawn on its own shows: the soft hyphen, invisible in running text,
// shows as the hyphen it may become.
QString DisplayOf(char32_t character) {
    return character == 0xAD ? QStringLiteral("-") : StringOf(character);
}

QFont TextFont(QFont font) {
    font.setKerning(false);
    font.setStyleStrategy(
        static_cast<QFont::StyleStrategy>(font.styleStrategy() | QFont::PreferNoShaping));
    return font;
}

QFont ControlFont(const QFont& textFont) {
    QFont font = textFont;
    if (textFont.pointSizeF() > 0) {
        font.setPointSizeF(textFont.pointSizeF() * ControlScale);
    } else {
        font.setPixelSize(std::max(6, qRound(textFont.pixelSize() * ControlScale)));
    }
    return font;
}

// Every character takes at least a pixel, so that a row of pasted zero-width marks still
// wraps instead of growing into one endless row.
constexpr qreal MinimumAdvance = 1.0;

} // namespace

CodeGlyphs::CodeGlyphs(const QFont& font)
    : font_(TextFont(font)), controlFont_(ControlFont(font_)) {
    const QFontMetricsF text(font_);
    const QFontMetricsF control(controlFont_);
    measure_ = [text, control](char32_t character, Kind kind) -> qreal {
        switch (kind) {
        case Kind::Text:
        case Kind::Blank:
            return std::max(MinimumAdvance,
                            IsInBasicPlane(character)
                                ? text.horizontalAdvance(QChar(static_cast<char16_t>(character)))
                                : text.horizontalAdvance(StringOf(character)));
        case Kind::Single:
            return std::max(MinimumAdvance, text.horizontalAdvance(DisplayOf(character)));
        case Kind::CarriageReturn:
        case Kind::Control:
            break;
        }
        return control.horizontalAdvance(HexOf(character)) + 2 * ControlPadding;
    };
    Fill();
}

CodeGlyphs::CodeGlyphs(const Measure& measure)
    : font_(TextFont(QFont())), controlFont_(ControlFont(font_)), measure_(measure) {
    Fill();
}

void CodeGlyphs::Fill() {
    const QFontMetricsF metrics(font_);
    lineHeight_ = std::max(1, qCeil(metrics.lineSpacing()));
    ascent_ = metrics.ascent();
    for (char32_t character = 0; character < advance_.size(); ++character) {
        kind_[character] = KindOf(character);
        advance_[character] = measure_(character, kind_[character]);
    }
}

CodeGlyphs::Kind CodeGlyphs::KindOf(char32_t character) {
    if (character == u'\r') {
        return Kind::CarriageReturn;
    }
    if (character == u' ') {
        return Kind::Blank;
    }
    if (character < 0x20 || (character >= 0x7F && character <= 0x9F)) {
        return Kind::Control;
    }
    if (character == 0xAD) {
        return Kind::Single;
    }
    if (character < 0x100 ||
        (IsInBasicPlane(character) && AnsiText::ToByte(QChar(static_cast<char16_t>(character))))) {
        return Kind::Text;
    }
    switch (QChar::category(character)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return Kind::Control;
    default:
        return Kind::Single;
    }
}

CodeGlyphs::Glyph CodeGlyphs::Other(QStringView text, qsizetype at) const {
    const QChar unit = text[at];
    char32_t character = unit.unicode();
    qsizetype length = 1;
    if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
        character = QChar::surrogateToUcs4(unit, text[at + 1]);
        length = 2;
    }
    if (const auto known = others_.constFind(character); known != others_.constEnd()) {
        return *known;
    }
    const Kind kind = KindOf(character);
    const Glyph glyph{measure_(character, kind), kind, length};
    others_.insert(character, glyph);
    return glyph;
}

qreal CodeGlyphs::Draw(QPainter& painter, QStringView text, qsizetype from, qsizetype to,
                       QPointF origin) const {
    qreal x = origin.x();
    qsizetype at = from;
    while (at < to) {
        const Glyph glyph = At(text, at);
        if (glyph.kind == Kind::Text || glyph.kind == Kind::Blank) {
            qsizetype runEnd = at;
            qreal runWidth = 0;
            for (Glyph next = glyph;;) {
                runWidth += next.advance;
                runEnd += next.length;
                if (runEnd >= to) {
                    break;
                }
                next = At(text, runEnd);
                if (next.kind != Kind::Text && next.kind != Kind::Blank) {
                    break;
                }
            }
            painter.drawText(QPointF(x, origin.y()), text.sliced(at, runEnd - at).toString());
            x += runWidth;
            at = runEnd;
            continue;
        }
        const char32_t character =
            glyph.length == 2 ? QChar::surrogateToUcs4(text[at], text[at + 1]) : text[at].unicode();
        if (glyph.kind == Kind::Single) {
            painter.drawText(QPointF(x, origin.y()), DisplayOf(character));
        } else {
            DrawControl(painter, character, QPointF(x, origin.y()), glyph.advance);
        }
        x += glyph.advance;
        at += glyph.length;
    }
    return x;
}

void CodeGlyphs::DrawControl(QPainter& painter, char32_t character, QPointF origin,
                             qreal width) const {
    const QString hex = HexOf(character);
    const QRectF box(origin.x() + 1, origin.y() - ascent_ + 1, width - 2, ascent_);
    painter.save();
    painter.setFont(controlFont_);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.drawText(box, Qt::AlignCenter, hex);
    painter.restore();
}
