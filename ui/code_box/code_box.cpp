#include "ui/code_box/code_box.h"

#include "ui/code_box/code_text.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QtMath>
#include <array>

namespace {

// The exact text of a copy, beside the plain text other programs get: pasted back into a
// code box it gives the same characters, lone CR and LF included.
const QString ExactTextFormat = QStringLiteral("application/x-tolvenmark-code-text");

// Room between the frame and the text.
constexpr int MarginX = 2;
constexpr int MarginY = 1;

constexpr int WheelStep = 120; // angle delta of one wheel notch

QByteArray ExactBytes(const QString& text) {
    return {reinterpret_cast<const char*>(text.utf16()), text.size() * 2};
}

QString FromExactBytes(const QByteArray& bytes) {
    return QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
}

// The text a paste puts in: our own copy exactly, anything else with its line breaks made
// CR LF.
QString ClipboardText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr) {
        return {};
    }
    if (data->hasFormat(ExactTextFormat)) {
        return FromExactBytes(data->data(ExactTextFormat));
    }
    return data->hasText() ? CodeText::FromPlainText(data->text()) : QString();
}

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && (data->hasFormat(ExactTextFormat) || data->hasText());
}

} // namespace

CodeBox::CodeBox(QWidget* parent) : QWidget(parent), glyphs_(font()), layout_(text_, glyphs_) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    UpdateWrapWidth();
}

// ---------------------------------------------------------------------------------------
// Text and selection

void CodeBox::SetText(const QString& text) {
    if (text == text_) {
        SetCaret(0, false);
        return;
    }
    Edit(0, text_.size(), text, EditHistory::Kind::Other, 0);
}

AnsiText::Encoded CodeBox::Bytes() const {
    return AnsiText::ToBytes(text_);
}

void CodeBox::SetBytes(std::string_view bytes) {
    SetText(AnsiText::FromBytes(bytes));
}

QString CodeBox::SelectedText() const {
    return text_.mid(SelectionStart(), SelectionLength());
}

void CodeBox::SetSelection(qsizetype start, qsizetype length) {
    start = CodeText::BoundaryAtOrBefore(text_, start);
    length = std::clamp<qsizetype>(length, 0, text_.size() - start);
    const qsizetype end = CodeText::BoundaryAtOrAfter(text_, start + length);
    anchor_ = start;
    SetCaret(end, true);
    goalX_ = -1;
}

void CodeBox::ReplaceSelection(const QString& text) {
    if (text.isEmpty() && anchor_ == caret_) {
        SetCaret(0, false);
        return;
    }
    Edit(SelectionStart(), SelectionStart() + SelectionLength(), text, EditHistory::Kind::Other, 0);
}

void CodeBox::SelectAll() {
    anchor_ = 0;
    SetCaret(text_.size(), true);
}

// ---------------------------------------------------------------------------------------
// Editing

void CodeBox::Edit(qsizetype from, qsizetype to, const QString& with, EditHistory::Kind kind,
                   qsizetype caretAfter) {
    const EditHistory::Selection before{anchor_, caret_};
    QString removed;
    if (from == 0 && to == text_.size()) {
        removed = std::exchange(text_, with);
    } else {
        removed = text_.mid(from, to - from);
        text_.replace(from, to - from, with);
    }
    // New text may join a CR to an LF around the caret; it then stands before the pair.
    caret_ = CodeText::BoundaryAtOrBefore(text_, caretAfter >= 0 ? caretAfter : from + with.size());
    anchor_ = caret_;
    history_.Record(kind, from, removed, with.size(), before, {anchor_, caret_});
    TextChanged(from);
}

void CodeBox::Insert(const QString& text, EditHistory::Kind kind) {
    if (text.isEmpty() && anchor_ == caret_) {
        return;
    }
    Edit(SelectionStart(), SelectionStart() + SelectionLength(), text, kind);
}

void CodeBox::DeleteSelection() {
    if (anchor_ != caret_) {
        Edit(SelectionStart(), SelectionStart() + SelectionLength(), {}, EditHistory::Kind::Other);
    }
}

void CodeBox::DeleteBackward(bool word) {
    if (anchor_ != caret_) {
        DeleteSelection();
    } else if (caret_ > 0) {
        const qsizetype from = word ? CodeText::PreviousWordStart(text_, caret_)
                                    : CodeText::PreviousBoundary(text_, caret_);
        Edit(from, caret_, {},
             word ? EditHistory::Kind::Other : EditHistory::Kind::DeletingBackward);
    }
}

void CodeBox::DeleteForward(bool word) {
    if (anchor_ != caret_) {
        DeleteSelection();
    } else if (caret_ < text_.size()) {
        const qsizetype to =
            word ? CodeText::NextWordStart(text_, caret_) : CodeText::NextBoundary(text_, caret_);
        Edit(caret_, to, {}, word ? EditHistory::Kind::Other : EditHistory::Kind::DeletingForward);
    }
}

void CodeBox::TextChanged(qsizetype position) {
    layout_.Changed(position);
    caretAtRowEnd_ = false;
    goalX_ = -1;
    EnsureCaretVisible();
    RestartBlinking();
    update();
    updateMicroFocus();
    emit textChanged();
}

void CodeBox::Undo() {
    ApplyHistory(true);
}

void CodeBox::Redo() {
    ApplyHistory(false);
}

void CodeBox::ApplyHistory(bool undo) {
    EditHistory::Selection selection;
    const std::optional<EditHistory::Change> change =
        undo ? history_.Undo(text_, selection) : history_.Redo(text_, selection);
    if (change) {
        anchor_ = selection.anchor;
        caret_ = selection.caret;
        TextChanged(change->position);
    }
}

void CodeBox::Copy() const {
    if (anchor_ == caret_) {
        return;
    }
    const QString selected = SelectedText();
    auto* data = new QMimeData;
    data->setText(CodeText::ToPlainText(selected));
    data->setData(ExactTextFormat, ExactBytes(selected));
    QGuiApplication::clipboard()->setMimeData(data);
}

void CodeBox::Cut() {
    Copy();
    DeleteSelection();
}

void CodeBox::Paste() {
    // A clipboard without text (a picture, say) leaves the box and its selection alone.
    if (!ClipboardHasText()) {
        return;
    }
    Insert(ClipboardText(), EditHistory::Kind::Other);
}

// ---------------------------------------------------------------------------------------
// Keys

bool CodeBox::event(QEvent* event) {
    // Keys the box uses itself are not taken by shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (CommandFor(key) || MoveFor(key) || IsTypedText(key)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

std::optional<CodeBox::Command> CodeBox::CommandFor(const QKeyEvent& event) {
    static constexpr std::array<std::pair<QKeySequence::StandardKey, Command>, 9> Standard{{
        {QKeySequence::Undo, Command::Undo},
        {QKeySequence::Redo, Command::Redo},
        {QKeySequence::Cut, Command::Cut},
        {QKeySequence::Copy, Command::Copy},
        {QKeySequence::Paste, Command::Paste},
        {QKeySequence::SelectAll, Command::SelectAll},
        {QKeySequence::DeleteStartOfWord, Command::DeleteWordBackward},
        {QKeySequence::DeleteEndOfWord, Command::DeleteWordForward},
        {QKeySequence::Delete, Command::DeleteForward},
    }};
    for (const auto& [key, command] : Standard) {
        if (event.matches(key)) {
            return command;
        }
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (event.key() == Qt::Key_Y && modifiers == Qt::ControlModifier) {
        return Command::Redo;
    }
    if (event.key() == Qt::Key_Backspace && (modifiers & ~Qt::ShiftModifier) == 0) {
        return Command::DeleteBackward;
    }
    if ((event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
        (modifiers & ~Qt::ShiftModifier) == 0) {
        return Command::LineBreak;
    }
    return std::nullopt;
}

std::optional<CodeBox::MoveKey> CodeBox::MoveFor(const QKeyEvent& event) {
    struct Binding {
        QKeySequence::StandardKey key;
        Move move;
        bool extend;
    };
    static constexpr std::array<Binding, 24> Bindings{{
        {QKeySequence::MoveToPreviousChar, Move::PreviousCharacter, false},
        {QKeySequence::SelectPreviousChar, Move::PreviousCharacter, true},
        {QKeySequence::MoveToNextChar, Move::NextCharacter, false},
        {QKeySequence::SelectNextChar, Move::NextCharacter, true},
        {QKeySequence::MoveToPreviousWord, Move::PreviousWord, false},
        {QKeySequence::SelectPreviousWord, Move::PreviousWord, true},
        {QKeySequence::MoveToNextWord, Move::NextWord, false},
        {QKeySequence::SelectNextWord, Move::NextWord, true},
        {QKeySequence::MoveToPreviousLine, Move::PreviousRow, false},
        {QKeySequence::SelectPreviousLine, Move::PreviousRow, true},
        {QKeySequence::MoveToNextLine, Move::NextRow, false},
        {QKeySequence::SelectNextLine, Move::NextRow, true},
        {QKeySequence::MoveToPreviousPage, Move::PreviousPage, false},
        {QKeySequence::SelectPreviousPage, Move::PreviousPage, true},
        {QKeySequence::MoveToNextPage, Move::NextPage, false},
        {QKeySequence::SelectNextPage, Move::NextPage, true},
        {QKeySequence::MoveToStartOfLine, Move::RowStart, false},
        {QKeySequence::SelectStartOfLine, Move::RowStart, true},
        {QKeySequence::MoveToEndOfLine, Move::RowEnd, false},
        {QKeySequence::SelectEndOfLine, Move::RowEnd, true},
        {QKeySequence::MoveToStartOfDocument, Move::TextStart, false},
        {QKeySequence::SelectStartOfDocument, Move::TextStart, true},
        {QKeySequence::MoveToEndOfDocument, Move::TextEnd, false},
        {QKeySequence::SelectEndOfDocument, Move::TextEnd, true},
    }};
    for (const Binding& binding : Bindings) {
        if (event.matches(binding.key)) {
            return MoveKey{binding.move, binding.extend};
        }
    }
    return std::nullopt;
}

// Characters the keyboard typed: not a shortcut with Ctrl, Alt or Meta (Alt+F opens the
// File menu; AltGr, which some systems report as Ctrl+Alt, still types), and no control
// character.
bool CodeBox::IsTypedText(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) {
        return false;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool altGr =
        modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::AltModifier);
    if ((modifiers.testFlag(Qt::ControlModifier) || modifiers.testFlag(Qt::AltModifier) ||
         modifiers.testFlag(Qt::MetaModifier)) &&
        !altGr) {
        return false;
    }
    return std::none_of(text.cbegin(), text.cend(),
                        [](QChar character) { return character < u' ' || character == u'\x7F'; });
}

void CodeBox::keyPressEvent(QKeyEvent* event) {
    if (const std::optional<Command> command = CommandFor(*event)) {
        Run(*command);
    } else if (const std::optional<MoveKey> move = MoveFor(*event)) {
        MoveCaret(move->move, move->extend);
    } else if (IsTypedText(*event)) {
        Insert(event->text(), EditHistory::Kind::Typing);
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CodeBox::Run(Command command) {
    switch (command) {
    case Command::Undo:
        Undo();
        break;
    case Command::Redo:
        Redo();
        break;
    case Command::Cut:
        Cut();
        break;
    case Command::Copy:
        Copy();
        break;
    case Command::Paste:
        Paste();
        break;
    case Command::SelectAll:
        SelectAll();
        break;
    case Command::DeleteBackward:
        DeleteBackward(false);
        break;
    case Command::DeleteForward:
        DeleteForward(false);
        break;
    case Command::DeleteWordBackward:
        DeleteBackward(true);
        break;
    case Command::DeleteWordForward:
        DeleteForward(true);
        break;
    case Command::LineBreak:
        Insert(CodeText::LineBreak.toString(), EditHistory::Kind::Typing);
        break;
    }
}

void CodeBox::inputMethodEvent(QInputMethodEvent* event) {
    if (event->replacementLength() > 0) {
        const qsizetype from =
            CodeText::BoundaryAtOrBefore(text_, caret_ + event->replacementStart());
        anchor_ = from;
        caret_ = CodeText::BoundaryAtOrAfter(text_, from + event->replacementLength());
    }
    const QString committed = CodeText::FromPlainText(event->commitString());
    if (!committed.isEmpty() || event->replacementLength() > 0) {
        Insert(committed, EditHistory::Kind::Typing);
    }
    if (event->preeditString() != preedit_) {
        preedit_ = event->preeditString();
        update();
    }
    event->accept();
}

QVariant CodeBox::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
        return CaretRect();
    case Qt::ImFont:
        return glyphs_.Font();
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCurrentSelection:
        return SelectedText();
    case Qt::ImSurroundingText:
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        break;
    default:
        return QWidget::inputMethodQuery(query);
    }
    // Around the caret means its row: a whole line can be a million characters.
    const CodeLayout::Row row = layout_.RowAt(CaretRow());
    switch (query) {
    case Qt::ImSurroundingText:
        return text_.mid(row.start, row.end - row.start);
    case Qt::ImCursorPosition:
        return static_cast<int>(caret_ - row.start);
    default:
        return static_cast<int>(std::clamp(anchor_, row.start, row.end) - row.start);
    }
}

// ---------------------------------------------------------------------------------------
// The caret

void CodeBox::MoveCaret(Move move, bool extend) {
    const bool collapse = anchor_ != caret_ && !extend;
    switch (move) {
    case Move::PreviousCharacter:
        SetCaret(collapse ? SelectionStart() : CodeText::PreviousBoundary(text_, caret_), extend);
        break;
    case Move::NextCharacter:
        SetCaret(collapse ? SelectionStart() + SelectionLength()
                          : CodeText::NextBoundary(text_, caret_),
                 extend);
        break;
    case Move::PreviousWord:
        SetCaret(CodeText::PreviousWordStart(text_, caret_), extend);
        break;
    case Move::NextWord:
        SetCaret(CodeText::NextWordStart(text_, caret_), extend);
        break;
    case Move::RowStart:
        SetCaret(layout_.RowAt(CaretRow()).start, extend);
        break;
    case Move::RowEnd: {
        const CodeLayout::Row row = layout_.RowAt(CaretRow());
        SetCaret(row.end, extend, IsSoftRowEnd(row, row.end));
        break;
    }
    case Move::TextStart:
        SetCaret(0, extend);
        break;
    case Move::TextEnd:
        SetCaret(text_.size(), extend);
        break;
    case Move::PreviousRow:
    case Move::NextRow:
    case Move::PreviousPage:
    case Move::NextPage:
        MoveVertically(move, extend);
        return;
    }
    goalX_ = -1;
}

// Up and Down keep the x the caret had when the first of them was pressed; Page Up and Page
// Down move the view by as many rows as the caret.
void CodeBox::MoveVertically(Move move, bool extend) {
    const int page = VisibleRows();
    const int rows = move == Move::PreviousRow    ? -1
                     : move == Move::NextRow      ? 1
                     : move == Move::PreviousPage ? -page
                                                  : page;
    const int from = CaretRow();
    if (goalX_ < 0) {
        goalX_ = layout_.X(layout_.RowAt(from), caret_);
    }
    int target = std::max(from + rows, 0);
    if (!layout_.HasRow(target)) {
        target = layout_.RowCount() - 1;
    }
    if (move == Move::PreviousPage || move == Move::NextPage) {
        ScrollTo(topRow_ + target - from);
    }
    const CodeLayout::Row row = layout_.RowAt(target);
    const qsizetype position = layout_.PositionAt(row, goalX_);
    SetCaret(position, extend, IsSoftRowEnd(row, position));
}

void CodeBox::SetCaret(qsizetype position, bool extend, bool atRowEnd) {
    caret_ = position;
    if (!extend) {
        anchor_ = caret_;
    }
    caretAtRowEnd_ = atRowEnd;
    history_.CloseStep();
    EnsureCaretVisible();
    RestartBlinking();
    update();
    updateMicroFocus();
}

// The end of a row that was broken without a line break, which is also the start of the
// next row.
bool CodeBox::IsSoftRowEnd(const CodeLayout::Row& row, qsizetype position) const {
    return position == row.end && !row.EndsInLineBreak() && row.end > row.start &&
           row.end < text_.size();
}

int CodeBox::CaretRow() const {
    const int row = layout_.RowOf(caret_);
    if (caretAtRowEnd_ && row > 0 && IsSoftRowEnd(layout_.RowAt(row - 1), caret_)) {
        return row - 1;
    }
    return row;
}

QRect CodeBox::CaretRect() const {
    const QRect area = TextArea();
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    const int index = CaretRow();
    const int x = area.left() + qRound(layout_.X(layout_.RowAt(index), caret_));
    return {std::min(x, area.right() - width + 1),
            area.top() + (index - topRow_) * glyphs_.LineHeight(), width, glyphs_.LineHeight()};
}

void CodeBox::EnsureCaretVisible() {
    const int row = CaretRow();
    const int rows = VisibleRows();
    if (row < topRow_) {
        ScrollTo(row);
    } else if (row >= topRow_ + rows) {
        ScrollTo(row - rows + 1);
    }
}

void CodeBox::RestartBlinking() {
    caretShown_ = hasFocus();
    const int period = QGuiApplication::styleHints()->cursorFlashTime() / 2;
    if (caretShown_ && period > 0) {
        blinkTimer_.start(period, this);
    } else {
        blinkTimer_.stop();
    }
}

void CodeBox::timerEvent(QTimerEvent* event) {
    if (event->timerId() != blinkTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    caretShown_ = !caretShown_;
    update(CaretRect());
}

// ---------------------------------------------------------------------------------------
// The view

int CodeBox::FrameWidth() const {
    return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}

QRect CodeBox::TextArea() const {
    const int frame = FrameWidth();
    return rect().adjusted(frame + MarginX, frame + MarginY, -(frame + MarginX),
                           -(frame + MarginY));
}

int CodeBox::VisibleRows() const {
    return std::max(1, TextArea().height() / glyphs_.LineHeight());
}

void CodeBox::ScrollTo(int topRow) {
    const int rows = VisibleRows();
    if (topRow > 0 && !layout_.HasRow(topRow + rows - 1)) {
        topRow = layout_.RowCount() - rows;
    }
    topRow = std::max(topRow, 0);
    if (topRow != topRow_) {
        topRow_ = topRow;
        update();
    }
}

// The caret may stand after the last character of a full row, so the rows leave room for it.
void CodeBox::UpdateWrapWidth() {
    const int caretWidth = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
    layout_.SetWidth(std::max(1, TextArea().width() - caretWidth));
}

qsizetype CodeBox::PositionAt(QPointF point, bool* atRowEnd) const {
    const QRect area = TextArea();
    const int offset = qFloor((point.y() - area.top()) / glyphs_.LineHeight());
    int index = std::max(topRow_ + offset, 0);
    if (!layout_.HasRow(index)) {
        index = layout_.RowCount() - 1;
    }
    const CodeLayout::Row row = layout_.RowAt(index);
    const qsizetype position = layout_.PositionAt(row, point.x() - area.left());
    if (atRowEnd != nullptr) {
        *atRowEnd = IsSoftRowEnd(row, position);
    }
    return position;
}

void CodeBox::resizeEvent(QResizeEvent* event) {
    // The first character shown stays in the top row.
    const qsizetype topStart = layout_.HasRow(topRow_) ? layout_.RowAt(topRow_).start : 0;
    UpdateWrapWidth();
    // A taller box may now show the end of the text with room to spare: the view keeps to
    // the text and to the caret.
    ScrollTo(layout_.RowOf(topStart));
    EnsureCaretVisible();
    QWidget::resizeEvent(event);
}

void CodeBox::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
        glyphs_ = CodeGlyphs(font());
        layout_.Reset();
        UpdateWrapWidth();
        EnsureCaretVisible();
        updateGeometry();
        break;
    case QEvent::StyleChange:
        UpdateWrapWidth();
        EnsureCaretVisible();
        break;
    default:
        break;
    }
    update();
    QWidget::changeEvent(event);
}

void CodeBox::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / WheelStep;
    wheelRemainder_ -= notches * WheelStep;
    ScrollTo(topRow_ - notches * QApplication::wheelScrollLines());
    event->accept();
}

QSize CodeBox::sizeHint() const {
    const int frame = 2 * (FrameWidth() + MarginX);
    return {qCeil(40 * glyphs_.At(u"0", 0).advance) + frame, 5 * glyphs_.LineHeight() + frame};
}

QSize CodeBox::minimumSizeHint() const {
    const int frame = 2 * (FrameWidth() + MarginX);
    return {qCeil(4 * glyphs_.At(u"0", 0).advance) + frame, glyphs_.LineHeight() + frame};
}

// ---------------------------------------------------------------------------------------
// Mouse and focus

void CodeBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    bool atRowEnd = false;
    const qsizetype position = PositionAt(event->position(), &atRowEnd);
    SetCaret(position, event->modifiers().testFlag(Qt::ShiftModifier), atRowEnd);
    goalX_ = -1;
    selectingWithMouse_ = true;
}

void CodeBox::mouseMoveEvent(QMouseEvent* event) {
    if (!selectingWithMouse_ || !event->buttons().testFlag(Qt::LeftButton)) {
        return;
    }
    // Above or below the text the view follows one row per move.
    const QRect area = TextArea();
    const qreal half = glyphs_.LineHeight() / 2.0;
    const QPointF point(
        event->position().x(),
        std::clamp<qreal>(event->position().y(), area.top() - half, area.bottom() + half));
    bool atRowEnd = false;
    const qsizetype position = PositionAt(point, &atRowEnd);
    SetCaret(position, true, atRowEnd);
}

void CodeBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        selectingWithMouse_ = false;
    }
    QWidget::mouseReleaseEvent(event);
}

void CodeBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const auto [from, to] = CodeText::WordAt(text_, PositionAt(event->position()));
    anchor_ = from;
    SetCaret(to, true);
    selectingWithMouse_ = false;
}

void CodeBox::focusInEvent(QFocusEvent* event) {
    RestartBlinking();
    update();
    QWidget::focusInEvent(event);
}

void CodeBox::focusOutEvent(QFocusEvent* event) {
    blinkTimer_.stop();
    caretShown_ = false;
    preedit_.clear();
    update();
    QWidget::focusOutEvent(event);
}

void CodeBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

QMenu* CodeBox::CreateContextMenu() {
    auto* menu = new QMenu(this);
    const bool selected = anchor_ != caret_;
    const auto add = [menu](const QString& text, QKeySequence::StandardKey key, bool enabled,
                            auto slot) {
        const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
        QAction* action = menu->addAction(shortcut.isEmpty() ? text : text + u'\t' + shortcut);
        action->setEnabled(enabled);
        QObject::connect(action, &QAction::triggered, menu, slot);
    };
    add(tr("&Undo"), QKeySequence::Undo, CanUndo(), [this] { Undo(); });
    menu->addSeparator();
    add(tr("Cu&t"), QKeySequence::Cut, selected, [this] { Cut(); });
    add(tr("&Copy"), QKeySequence::Copy, selected, [this] { Copy(); });
    add(tr("&Paste"), QKeySequence::Paste, ClipboardHasText(), [this] { Paste(); });
    add(tr("&Delete"), QKeySequence::Delete, selected, [this] { DeleteSelection(); });
    menu->addSeparator();
    add(tr("Select &All"), QKeySequence::SelectAll, !text_.isEmpty(), [this] { SelectAll(); });
    return menu;
}

// ---------------------------------------------------------------------------------------
// Painting

void CodeBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DrawFrame(painter);
    const QRect area = TextArea();
    const QRect dirty = event->rect().intersected(area);
    if (dirty.isEmpty()) {
        return;
    }
    painter.setClipRect(dirty);
    painter.setFont(glyphs_.Font());
    painter.setLayoutDirection(Qt::LeftToRight);
    const int lineHeight = glyphs_.LineHeight();
    const int first = topRow_ + (dirty.top() - area.top()) / lineHeight;
    const int last = topRow_ + (dirty.bottom() - area.top()) / lineHeight;
    for (int index = first; index <= last && layout_.HasRow(index); ++index) {
        DrawRow(painter, index, area.top() + (index - topRow_) * lineHeight);
    }
    DrawPreedit(painter);
    if (caretShown_ && hasFocus()) {
        painter.fillRect(CaretRect(), palette().color(QPalette::Text));
    }
}

// The composition stands over the text after the caret, underlined, until the input
// method commits it; only then does it become part of the text.
void CodeBox::DrawPreedit(QPainter& painter) const {
    if (preedit_.isEmpty()) {
        return;
    }
    const QRect caret = CaretRect();
    qreal width = 0;
    for (qsizetype at = 0; at < preedit_.size();) {
        const CodeGlyphs::Glyph glyph = glyphs_.At(preedit_, at);
        width += glyph.advance;
        at += glyph.length;
    }
    const QRectF area(caret.left(), caret.top(), width, glyphs_.LineHeight());
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    glyphs_.Draw(painter, preedit_, 0, preedit_.size(),
                 {area.left(), area.top() + glyphs_.Ascent()});
    const qreal underline = area.top() + glyphs_.Ascent() + 1.5;
    painter.drawLine(QPointF(area.left(), underline), QPointF(area.right(), underline));
}

void CodeBox::DrawFrame(QPainter& painter) const {
    QStyleOptionFrame option;
    option.initFrom(this);
    option.rect = rect();
    option.lineWidth = FrameWidth();
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
}

void CodeBox::DrawRow(QPainter& painter, int index, int y) const {
    const CodeLayout::Row row = layout_.RowAt(index);
    const QPalette& colours = palette();
    const qreal left = TextArea().left();
    const qreal baseline = y + glyphs_.Ascent();
    const qsizetype selectionStart = SelectionStart();
    const qsizetype selectionEnd = selectionStart + SelectionLength();
    const qsizetype from = std::clamp(selectionStart, row.start, row.end);
    const qsizetype to = std::clamp(selectionEnd, row.start, row.end);
    // A selected line break shows as a selected space after the row.
    const bool breakSelected =
        row.EndsInLineBreak() && selectionStart <= row.end && selectionEnd >= row.next;

    painter.setPen(colours.color(QPalette::Text));
    qreal x = glyphs_.Draw(painter, text_, row.start, from, {left, baseline});
    if (from < to || breakSelected) {
        qreal width = left + layout_.X(row, to) - x;
        if (breakSelected) {
            width += glyphs_.At(u" ", 0).advance;
        }
        painter.fillRect(QRectF(x, y, width, glyphs_.LineHeight()),
                         colours.color(QPalette::Highlight));
        painter.setPen(colours.color(QPalette::HighlightedText));
        x = glyphs_.Draw(painter, text_, from, to, {x, baseline});
        painter.setPen(colours.color(QPalette::Text));
    }
    glyphs_.Draw(painter, text_, to, row.end, {x, baseline});
}
