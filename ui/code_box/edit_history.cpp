#include "ui/code_box/edit_history.h"

namespace {

// Enough for a long session; the removed texts of whole-text replacements are the big
// steps, so their total is bounded too.
constexpr std::size_t MaximumSteps = 1000;
constexpr qsizetype MaximumKeptCharacters = 32 * 1024 * 1024;

} // namespace

void EditHistory::Record(Kind kind, qsizetype position, const QString& removed, qsizetype inserted,
                         Selection before, Selection after) {
    redo_.clear();
    if (!Merge(kind, position, removed, inserted, after)) {
        undo_.push_back(Step{kind, position, removed, inserted, {}, before, after});
        Trim();
    }
    open_ = kind != Kind::Other;
}

bool EditHistory::Merge(Kind kind, qsizetype position, const QString& removed, qsizetype inserted,
                        Selection after) {
    if (!open_ || undo_.empty() || undo_.back().kind != kind) {
        return false;
    }
    Step& last = undo_.back();
    switch (kind) {
    case Kind::Typing:
        if (!removed.isEmpty() || position != last.position + last.inserted) {
            return false;
        }
        last.inserted += inserted;
        break;
    case Kind::DeletingBackward:
        if (inserted != 0 || position + removed.size() != last.position) {
            return false;
        }
        last.removed.prepend(removed);
        last.position = position;
        break;
    case Kind::DeletingForward:
        if (inserted != 0 || position != last.position) {
            return false;
        }
        last.removed.append(removed);
        break;
    case Kind::Other:
        return false;
    }
    last.after = after;
    return true;
}

void EditHistory::Trim() {
    qsizetype kept = 0;
    for (const Step& step : undo_) {
        kept += step.removed.size();
    }
    while (undo_.size() > 1 && (undo_.size() > MaximumSteps || kept > MaximumKeptCharacters)) {
        kept -= undo_.front().removed.size();
        undo_.pop_front();
    }
}

std::optional<EditHistory::Change> EditHistory::Undo(QString& text, Selection& selection) {
    if (undo_.empty()) {
        return std::nullopt;
    }
    Step step = std::move(undo_.back());
    undo_.pop_back();
    step.undoneText = text.mid(step.position, step.inserted);
    text.replace(step.position, step.inserted, step.removed);
    selection = step.before;
    const Change change{step.position, step.inserted, step.removed.size()};
    redo_.push_back(std::move(step));
    open_ = false;
    return change;
}

std::optional<EditHistory::Change> EditHistory::Redo(QString& text, Selection& selection) {
    if (redo_.empty()) {
        return std::nullopt;
    }
    Step step = std::move(redo_.back());
    redo_.pop_back();
    text.replace(step.position, step.removed.size(), step.undoneText);
    step.inserted = step.undoneText.size();
    step.undoneText.clear();
    selection = step.after;
    const Change change{step.position, step.removed.size(), step.inserted};
    undo_.push_back(std::move(step));
    open_ = false;
    return change;
}
