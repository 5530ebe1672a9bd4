#pragma once

#include <QString>
#include <deque>
#include <optional>
#include <vector>

// Undo and redo for the code box. A step keeps the text an edit removed and only the length
// of what it put in (that is still in the box), so typing into a long text copies nothing
// of it. Consecutive typing makes one step, and so does a run of Backspace or of Delete
// presses; any other edit or a caret move starts a new step.
class EditHistory {
public:
    struct Selection {
        qsizetype anchor = 0;
        qsizetype caret = 0;
    };
    enum class Kind { Other, Typing, DeletingBackward, DeletingForward };
    // Where the text changed by an undo or redo: `removed` characters at `position` gave
    // way to `inserted` ones.
    struct Change {
        qsizetype position;
        qsizetype removed;
        qsizetype inserted;
    };

    // Records that `removed` at `position` was replaced by the `inserted` characters now
    // standing there.
    void Record(Kind kind, qsizetype position, const QString& removed, qsizetype inserted,
                Selection before, Selection after);
    // The next edit makes a step of its own.
    void CloseStep() { open_ = false; }

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }

    // Undoes or redoes the last step on `text` and sets the selection it had; nothing when
    // there is no step.
    std::optional<Change> Undo(QString& text, Selection& selection);
    std::optional<Change> Redo(QString& text, Selection& selection);

private:
    struct Step {
        Kind kind;
        qsizetype position;
        QString removed;
        qsizetype inserted; // its length while the step is done
        QString undoneText; // what was inserted, kept while the step is undone
        Selection before;
        Selection after;
    };

    bool Merge(Kind kind, qsizetype position, const QString& removed, qsizetype inserted,
               Selection after);
    void Trim();

    std::deque<Step> undo_;
    std::vector<Step> redo_;
    bool open_ = false;
};
