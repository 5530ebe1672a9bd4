#pragma once

#include <QDialog>

class CodeBox;
class QLabel;
class QListWidget;

// The code picker: all 256 rows of the code table with their byte value and notation.
// Each entry the user selects, by mouse or arrow key, puts its notation into the code box
// in place of the selection, or at the caret. Shown modally over the code box's window;
// it has no buttons and stays open until its close button is pressed.
class frmCodeSelect final : public QDialog {
    Q_OBJECT
public:
    explicit frmCodeSelect(CodeBox& txtCodes);

protected:
    // Every opening starts from a freshly filled list with nothing selected.
    void showEvent(QShowEvent* event) override;

private slots:
    void lstCodes_Click();

private:
    void Form_Load();

    CodeBox& txtCodes_;
    QLabel* Label1 = nullptr;
    QListWidget* lstCodes = nullptr;
};
