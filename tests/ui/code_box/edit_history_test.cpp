#include "ui/code_box/edit_history.h"

#include <gtest/gtest.h>

namespace {

using Kind = EditHistory::Kind;
using Selection = EditHistory::Selection;

// A text with its history, edited the way the code box edits it.
class EditedText {
public:
    QString text;
    EditHistory history;
    Selection selection;

    void Replace(Kind kind, qsizetype position, qsizetype length, const QString& inserted) {
        const QString removed = text.mid(position, length);
        const Selection before = selection;
        text.replace(position, length, inserted);
        selection = {position + inserted.size(), position + inserted.size()};
        history.Record(kind, position, removed, inserted.size(), before, selection);
    }
    void Type(const QString& characters) {
        for (const QChar character : characters) {
            Replace(Kind::Typing, selection.caret, 0, QString(character));
        }
    }
    void Backspace() { Replace(Kind::DeletingBackward, selection.caret - 1, 1, {}); }
    int UndoAll() {
        int steps = 0;
        while (history.Undo(text, selection)) {
            ++steps;
        }
        return steps;
    }
};

TEST(EditHistoryTest, TypingAndBackspaceRunsAreOneStepEachAndRedoRestoresThem) {
    EditedText edited;
    edited.Type("<ESC>E");
    edited.Backspace();
    edited.Backspace();
    EXPECT_EQ(edited.text, "<ESC");
    ASSERT_TRUE(edited.history.Undo(edited.text, edited.selection));
    EXPECT_EQ(edited.text, "<ESC>E");
    ASSERT_TRUE(edited.history.Undo(edited.text, edited.selection));
    EXPECT_EQ(edited.text, "");
    EXPECT_FALSE(edited.history.CanUndo());
    ASSERT_TRUE(edited.history.Redo(edited.text, edited.selection));
    ASSERT_TRUE(edited.history.Redo(edited.text, edited.selection));
    EXPECT_EQ(edited.text, "<ESC");
    EXPECT_EQ(edited.selection.caret, 4);
}

TEST(EditHistoryTest, CaretMoveStartsANewStepAndANewEditClearsRedo) {
    EditedText edited;
    edited.Type("ab");
    edited.history.CloseStep();
    edited.Type("cd");
    ASSERT_TRUE(edited.history.Undo(edited.text, edited.selection));
    EXPECT_EQ(edited.text, "ab");
    EXPECT_TRUE(edited.history.CanRedo());
    edited.Type("x");
    EXPECT_FALSE(edited.history.CanRedo());
    EXPECT_EQ(edited.UndoAll(), 2);
    EXPECT_EQ(edited.text, "");
}

// The history forgets its oldest steps, by count and by the size of the text they keep,
// and what it keeps still undoes correctly.
TEST(EditHistoryTest, OldestStepsAreForgottenByCountAndBySize) {
    EditedText counted;
    for (int i = 0; i < 1005; ++i) {
        counted.Replace(Kind::Other, counted.text.size(), 0, QStringLiteral("x"));
    }
    EXPECT_EQ(counted.UndoAll(), 1000);
    EXPECT_EQ(counted.text, QString(5, u'x'));

    EditedText sized;
    const QString big(17 * 1024 * 1024, u'a');
    sized.Replace(Kind::Other, 0, 0, big);
    sized.Replace(Kind::Other, 0, big.size(), big);
    // The two replacements together keep 34 Mi characters: only the newest step stays.
    sized.Replace(Kind::Other, 0, big.size(), QStringLiteral("b"));
    EXPECT_EQ(sized.UndoAll(), 1);
    EXPECT_EQ(sized.text, big);
}

} // namespace
