#pragma once

#include "ui/code_box/code_glyphs.h"

#include <QString>
#include <vector>

// The rows of the code box: its text wrapped at the box's width. A row breaks after the
// last space that still fits, else before the first character that does not; spaces may
// hang past the edge; a CR LF ends its row. Rows are found on demand from the first
// one down, so a long text costs only as much as is shown, and an edit forgets only the
// rows from a little above the edit downwards.
class CodeLayout {
public:
    struct Row {
        qsizetype start;
        qsizetype end;  // where its characters end
        qsizetype next; // where the next row starts: after the CR LF of a line break
        bool EndsInLineBreak() const { return next != end; }
    };

    CodeLayout(const QString& text, const CodeGlyphs& glyphs);

    // Forgets every row when the width changes.
    void SetWidth(qreal width);
    qreal Width() const { return width_; }
    // The text changed from `position` on (nothing before it did); call with the new text.
    void Changed(qsizetype position);
    // The glyphs or the whole text changed.
    void Reset();

    // Whether row `index` exists, wrapping down to it when needed.
    bool HasRow(int index);
    // All rows; wraps the whole text.
    int RowCount();
    // Row `index`, which must exist (see HasRow).
    Row RowAt(int index);
    // The row a caret at `position` stands on: where a row was broken without a line break,
    // the position belongs to the row it starts.
    int RowOf(qsizetype position);

    // The distance from the row's left edge to `position`, which lies within the row.
    qreal X(const Row& row, qsizetype position) const;
    // The caret place in the row nearest to `x`.
    qsizetype PositionAt(const Row& row, qreal x) const;

private:
    Row Scan(qsizetype start) const;
    bool Extend();

    const QString& text_;
    const CodeGlyphs& glyphs_;
    qreal width_ = 0;
    std::vector<qsizetype> starts_{0};
    bool complete_ = false;
};
