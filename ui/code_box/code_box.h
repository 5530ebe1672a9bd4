#pragma once

#include "ui/code_box/code_glyphs.h"
#include "ui/code_box/code_layout.h"
#include "ui/code_box/edit_history.h"
#include "ui/code_page/ansi_text.h"

#include <QBasicTimer>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

class QMenu;

// The code box: a multi-line text box for token text that stays quick with a whole code
// file in it, often one line of a million characters. It holds one string; each character
// is one byte through AnsiText, and a line break is the two characters CR LF, so selection
// start and length count a line break as two. Text wraps at the box's width; there are no
// scroll bars: the view follows the caret and the mouse wheel scrolls it.
class CodeBox final : public QWidget {
    Q_OBJECT
public:
    explicit CodeBox(QWidget* parent = nullptr);

    const QString& Text() const { return text_; }
    bool IsEmpty() const { return text_.isEmpty(); }
    // Assigns the whole text: the caret goes to the start with nothing selected. Undoable.
    void SetText(const QString& text);

    // The bytes of the text, or the first character that has none.
    AnsiText::Encoded Bytes() const;
    // Assigns the whole text shown through AnsiText.
    void SetBytes(std::string_view bytes);

    // Characters before the selection (or the caret), and the selection's length.
    qsizetype SelectionStart() const { return std::min(anchor_, caret_); }
    qsizetype SelectionLength() const { return std::abs(caret_ - anchor_); }
    QString SelectedText() const;
    // Selects `length` characters from `start`, with the caret at their end; a place
    // between CR and LF widens the selection to the whole line break.
    void SetSelection(qsizetype start, qsizetype length);

    // Puts `text` in place of the selection, or at the caret, and then leaves the caret at
    // the start with nothing selected, as assigning the whole text would. Undoable.
    void ReplaceSelection(const QString& text);

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public slots:
    void Undo();
    void Redo();
    void Cut();
    void Copy() const;
    void Paste();
    void DeleteSelection();
    void SelectAll();

signals:
    void textChanged();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    enum class Command {
        Undo,
        Redo,
        Cut,
        Copy,
        Paste,
        SelectAll,
        DeleteBackward,
        DeleteForward,
        DeleteWordBackward,
        DeleteWordForward,
        LineBreak,
    };
    enum class Move {
        PreviousCharacter,
        NextCharacter,
        PreviousWord,
        NextWord,
        PreviousRow,
        NextRow,
        PreviousPage,
        NextPage,
        RowStart,
        RowEnd,
        TextStart,
        TextEnd,
    };

    struct MoveKey {
        Move move;
        bool extend;
    };

    // Editing. Every edit replaces text[from, to) and leaves the caret after the new text,
    // or at `caretAfter` when that is given.
    void Edit(qsizetype from, qsizetype to, const QString& with, EditHistory::Kind kind,
              qsizetype caretAfter = -1);
    void Insert(const QString& text, EditHistory::Kind kind);
    void DeleteBackward(bool word);
    void DeleteForward(bool word);
    void TextChanged(qsizetype position);
    void ApplyHistory(bool undo);

    // Keys.
    static std::optional<Command> CommandFor(const QKeyEvent& event);
    static std::optional<MoveKey> MoveFor(const QKeyEvent& event);
    static bool IsTypedText(const QKeyEvent& event);
    void Run(Command command);

    // The caret.
    void MoveCaret(Move move, bool extend);
    void MoveVertically(Move move, bool extend);
    void SetCaret(qsizetype position, bool extend, bool atRowEnd = false);
    bool IsSoftRowEnd(const CodeLayout::Row& row, qsizetype position) const;
    int CaretRow() const;
    QRect CaretRect() const;
    void EnsureCaretVisible();
    void RestartBlinking();

    // The view.
    int FrameWidth() const;
    QRect TextArea() const;
    int VisibleRows() const;
    void ScrollTo(int topRow);
    void UpdateWrapWidth();
    qsizetype PositionAt(QPointF point, bool* atRowEnd = nullptr) const;
    void DrawFrame(QPainter& painter) const;
    void DrawRow(QPainter& painter, int index, int y) const;
    void DrawPreedit(QPainter& painter) const;
    QMenu* CreateContextMenu();

    QString text_;
    qsizetype anchor_ = 0;
    qsizetype caret_ = 0;
    // Where a row was broken without a line break, the caret place between the rows is
    // shown at the end of the upper row when it got there by End or a click past the end.
    bool caretAtRowEnd_ = false;
    // The x the caret keeps through consecutive Up, Down, Page Up and Page Down presses.
    qreal goalX_ = -1;

    CodeGlyphs glyphs_;
    // The rows are found as they are needed, also while painting and answering queries.
    mutable CodeLayout layout_;
    EditHistory history_;
    int topRow_ = 0;
    int wheelRemainder_ = 0;
    bool selectingWithMouse_ = false;
    bool caretShown_ = false;
    QBasicTimer blinkTimer_;
    // What an input method is composing: shown at the caret, not yet part of the text.
    QString preedit_;
};
