#include "ui/code_box/code_layout.h"

#include "ui/code_box/code_text.h"

#include <algorithm>

using Kind = CodeGlyphs::Kind;

CodeLayout::CodeLayout(const QString& text, const CodeGlyphs& glyphs)
    : text_(text), glyphs_(glyphs) {}

void CodeLayout::SetWidth(qreal width) {
    if (width != width_) {
        width_ = width;
        Reset();
    }
}

void CodeLayout::Reset() {
    starts_.assign(1, 0);
    complete_ = false;
}

void CodeLayout::Changed(qsizetype position) {
    // A row's breaking looks ahead at most into the row after the next one, so the rows
    // from three above the edit on may change; the ones above cannot.
    const auto row = std::upper_bound(starts_.begin(), starts_.end(), position) - starts_.begin();
    const auto keep = std::max<std::ptrdiff_t>(row - 3, 1);
    if (static_cast<std::size_t>(keep) < starts_.size()) {
        starts_.resize(static_cast<std::size_t>(keep));
    }
    complete_ = false;
}

CodeLayout::Row CodeLayout::Scan(qsizetype start) const {
    const QStringView text(text_);
    const qsizetype size = text.size();
    qreal x = 0;
    qsizetype afterBlank = start;
    qsizetype at = start;
    while (at < size) {
        const CodeGlyphs::Glyph glyph = glyphs_.At(text, at);
        if (glyph.kind == Kind::CarriageReturn && at + 1 < size &&
            text[at + 1] == CodeText::LineFeed) {
            return {start, at, at + 2};
        }
        if (at > start) {
            if (glyph.kind == Kind::Blank ? x > width_ : x + glyph.advance > width_) {
                const qsizetype end =
                    glyph.kind != Kind::Blank && afterBlank > start ? afterBlank : at;
                return {start, end, end};
            }
        }
        x += glyph.advance;
        at += glyph.length;
        if (glyph.kind == Kind::Blank) {
            afterBlank = at;
        }
    }
    return {start, size, size};
}

bool CodeLayout::Extend() {
    if (complete_) {
        return false;
    }
    const Row row = Scan(starts_.back());
    if (row.end == text_.size()) {
        complete_ = true;
        return false;
    }
    starts_.push_back(row.next);
    return true;
}

bool CodeLayout::HasRow(int index) {
    while (starts_.size() <= static_cast<std::size_t>(index) && Extend()) {
    }
    return index >= 0 && static_cast<std::size_t>(index) < starts_.size();
}

int CodeLayout::RowCount() {
    while (Extend()) {
    }
    return static_cast<int>(starts_.size());
}

CodeLayout::Row CodeLayout::RowAt(int index) {
    const auto at = static_cast<std::size_t>(index);
    const qsizetype start = starts_[at];
    if (at + 1 == starts_.size()) {
        HasRow(index + 1);
    }
    const qsizetype next = at + 1 < starts_.size() ? starts_[at + 1] : text_.size();
    const bool lineBreak = next - start >= 2 && CodeText::IsLineBreakAt(text_, next - 2);
    return {start, lineBreak ? next - 2 : next, next};
}

int CodeLayout::RowOf(qsizetype position) {
    while (starts_.back() <= position && Extend()) {
    }
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    return static_cast<int>(after - starts_.begin()) - 1;
}

qreal CodeLayout::X(const Row& row, qsizetype position) const {
    const QStringView text(text_);
    qreal x = 0;
    for (qsizetype at = row.start; at < position;) {
        const CodeGlyphs::Glyph glyph = glyphs_.At(text, at);
        x += glyph.advance;
        at += glyph.length;
    }
    return x;
}

qsizetype CodeLayout::PositionAt(const Row& row, qreal x) const {
    const QStringView text(text_);
    qreal left = 0;
    for (qsizetype at = row.start; at < row.end;) {
        const CodeGlyphs::Glyph glyph = glyphs_.At(text, at);
        if (x < left + glyph.advance / 2) {
            return at;
        }
        left += glyph.advance;
        at += glyph.length;
    }
    return row.end;
}
