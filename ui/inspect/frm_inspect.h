#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class CommandSearch;
class CommandTableModel;
class InspectPass;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QScrollBar;
class QTableView;

// The viewer: what a file holds, without sending it. Its summary on top (languages with
// their byte ranges, counts, problems; how far the pass has come while it goes), then every
// command as a row (offset, tokens, meaning, problem; rows with a problem marked) that
// appear as the pass goes, the file itself read again for the rows shown. Find looks for a
// command by its name, tokens or words from the selected row on; Copy to Codes hands the
// selected command's bytes, as tokens, to the code box. The pass and a Find run on threads
// of their own, stopped when the window closes.
class frmInspect final : public QWidget {
    Q_OBJECT
public:
    // The most bytes Copy to Codes puts in the code box: a longer command (an image) is
    // refused rather than flooding it.
    static constexpr std::uint64_t CopyLimit = 64 * 1024;

    // `toCodes` gets the tokens of a copied command.
    frmInspect(std::string path, std::function<void(const std::string& tokens)> toCodes,
               QWidget* parent = nullptr);
    ~frmInspect() override;

    const std::string& Path() const { return path_; }

    // The selected row of the whole list, or -1.
    qint64 SelectedRow() const { return selected_; }
    // Selects a row of the whole list, scrolled into view; -1 selects none where it is.
    void SelectRow(qint64 row);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void CreateList();
    // The rows the list has room for, the last one perhaps partly shown.
    int PageRows() const;
    // The scroll bar's range and the page shown, after the rows or the list's size changed.
    void ShowPage();
    // The selected row highlighted where the page shows it.
    void ShowSelection();
    // A key that moves the selection; false for any other key.
    bool MoveSelection(int key);
    void ShowStatus(const QString& text);
    // The bytes of a command, read from the file; false with the reason when they can't be.
    bool CommandBytes(std::uint64_t offset, std::uint64_t length, std::string& bytes,
                      QString& error) const;

private slots:
    void InspectPass_Progress(std::uint64_t rows, std::uint64_t bytes);
    void InspectPass_Finished(std::uint64_t rows, const QString& error);
    void CommandSearch_Finished(qint64 row, const QString& error);
    void cmdFind_Click();
    void cmdCopyToCodes_Click();
    void lstCommands_SelectionChanged();
    void scrCommands_Change(int value);

private:
    const std::string path_;
    const std::function<void(const std::string&)> toCodes_;
    InspectPass* pass_ = nullptr;
    CommandTableModel* model_ = nullptr;
    CommandSearch* search_ = nullptr;
    QString searched_;
    // The selected row of the whole list; the list's own selection shows it when on the page.
    qint64 selected_ = -1;
    bool showingSelection_ = false;

    QScrollArea* scrSummary = nullptr;
    QLabel* lblSummary = nullptr;
    QLineEdit* txtFind = nullptr;
    QPushButton* cmdFind = nullptr;
    QPushButton* cmdCopyToCodes = nullptr;
    QTableView* lstCommands = nullptr;
    // Scrolls the page over every row: the list's own scroll bar would span only the page.
    QScrollBar* scrCommands = nullptr;
    QLabel* lblStatus = nullptr;
};
