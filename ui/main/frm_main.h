#pragma once

#include "ui/desktop/desktop.h"
#include "ui/main/print_progress.h"

#include <QMainWindow>
#include <QPointer>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class CodeBox;
class JobFollower;
class JobMonitor;
class PrintRun;
class PrinterAccess;
class PrinterAddress;
class PrinterTarget;
class PrinterCatalog;
class PrinterWatch;
class RememberedPrinters;
class frmASCII;
struct JobStatus;
struct PrinterAnswer;

class QAction;
class QComboBox;
class QDragMoveEvent;
class QDropEvent;
class QGroupBox;
class QHelpEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMouseEvent;
class QPushButton;
class QShortcut;
class QStatusBar;
class QTimer;

// The main window: the printer to use, the queue of files to print, the code box with its
// commands, the menus and the status bar with the maker's line (or where a print run or the
// last job stands), the version and a clock. Every control is a member under its own name,
// which is also its objectName().
//
// A print run goes on a thread of its own (PrintRun) and has the spooler to itself while it
// goes; the last job the spooler took is followed through the monitor on another
// (JobFollower). A printer reached by its address is asked how it stands on a third
// (PrinterWatch): the selected one for the status bar, any one before a run to it and for its
// properties. All are stopped and waited for when the window goes.
class frmMain final : public QMainWindow {
    Q_OBJECT
public:
    frmMain(Desktop& desktop, PrinterAccess& printers, PrinterCatalog& catalog, JobMonitor& monitor,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs the start-up steps. The program calls it once, before the window is first
    // shown, so that a message about the printers appears before the window does.
    void Load();

    // The folder where Contents looks for the manual; the program file's own folder
    // unless a test names another.
    void SetProgramFolder(const QString& folder);

    // How often the last job's state is asked for; about once a second unless a test
    // wants it sooner.
    void SetJobPollInterval(std::chrono::milliseconds interval);

    // Appends files to the list to print, in their order, as a drop of them does. Each
    // path is bytes as the file system takes them; the entry keeps those bytes for the
    // print run and shows the name as far as it decodes. A relative path is taken from
    // the current folder.
    void AddFiles(const std::vector<std::string>& paths);

    // Adds printers reached by their address to the printer list, after the system's
    // queues, each written out in full and listed once, and selects the first one given.
    // They are listed for this run of the program only.
    void AddPrinterAddresses(const std::vector<PrinterAddress>& addresses);

    // Where the printers the user adds (by their address, or found) are remembered across
    // runs; Load() lists them after the queues. Without one, as by default, they are listed
    // for this run only. It outlives the window.
    void SetRememberedPrinters(RememberedPrinters* remembered);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the window.
    void CreateMenus();
    QWidget* CreateClientArea();
    void CreatePrinterFrame(QWidget* client);
    void CreateFilesFrame(QWidget* client);
    void CreateCodesFrame(QWidget* client);
    void CreateStatusBar();
    void SetTabOrder();
    void ConnectHandlers();
    QGroupBox* CreateFrame(QWidget* client, const char* name, const QString& caption);
    QPushButton* CreateButton(QWidget* frame, const char* name, const QString& caption,
                              const QString& toolTip);
    QPushButton* CreatePictureButton(QWidget* frame, const char* name, const QString& picture,
                                     const QString& toolTip);

    // The text of the selected printer entry, read anew for each command; empty when no
    // entry is selected.
    std::string SelectedPrinter() const;
    // The selected printer as a target; nothing, with the reason shown, when its name is
    // not one a job can go to.
    std::optional<PrinterTarget> SelectedTarget(const QString& refusal);
    // The selected printer when it is one reached by its well-formed address.
    std::optional<PrinterTarget> SelectedDirectPrinter() const;
    // The entry of the address in the printer list, added at the end unless it is there.
    int PrinterAddressIndex(const PrinterAddress& address);
    // The entry of the printer's name, added at the end unless it is there.
    int PrinterIndex(const std::string& name);
    // Lists the remembered printers after the queues; with no queue, the first is selected.
    void RestoreRememberedPrinters();
    // Lists the printer the user added, selected, and remembers it when it is an address.
    void AddChosenPrinter(const PrinterTarget& printer);
    // Forget Printer is offered while a remembered printer is selected.
    void ShowForgettable();
    // Asks the printer how it stands, then shows what it said.
    void ShowAddressProperties(const PrinterTarget& printer);
    // Shows what the printer said of itself and offers its own web page; a device of this
    // machine has none.
    void OpenAddressSettings(const PrinterAddress& address, const PrinterAnswer& answer);
    // The selected entry of the file queue, -1 when none is.
    int SelectedFileIndex() const;
    void SelectFile(int index);
    // Moves the entry at `index` one place up, whole: its shown name with its path.
    void MoveFileUp(int index);
    void AddFile(const std::string& path);
    // The path's bytes of an entry of the file queue.
    std::string FilePath(int index) const;
    // Opens a viewer of the file beside this window; its Copy to Codes fills the code box.
    void ViewFile(const std::string& path);
    void ShowFileToolTip(QHelpEvent* event);
    // The printer bytes the code box stands for. A character that has no byte is named in
    // a message ending with `refusal`, and nothing comes back.
    std::optional<std::string> CodeBytes(const QString& refusal);

    // The print run: started with the list's paths and the printer as they are now,
    // stopped at the user's word.
    void StartPrintRun();
    void StopPrintRun();
    // Print turns into Stop, and Send Codes waits, while a run has the spooler.
    void ShowRunning(bool running);
    // Follows the job from now on, in place of the one followed so far.
    void FollowJob(const PrinterTarget& printer, int jobId);
    void StartRun(PrintRun* run, bool codes);
    // Calls `send` unless the direct printer reports trouble a job would wait out and the
    // user, asked, says not to send; a queue is sent to at once.
    void CheckPrinterThen(const PrinterTarget& printer, std::function<void()> send);
    // While the printer is asked before a run, Print and Send Codes wait and the status bar
    // says so; an empty text ends the wait.
    void ShowChecking(const QString& text);
    void PrintRun_JobWithdrawn(const QString& name);
    // The first panel: where the run stands once it has lasted a while, else the last
    // job's state, else the maker's line.
    void ShowStatus();

private slots:
    // Start-up, clock and exit.
    void Form_Load();
    void Timer1_Timer();
    void mnuExit_Click();
    void mnuAddPrinter_Click();
    void mnuFindPrinters_Click();
    void mnuForgetPrinter_Click();
    void mnuViewFile_Click();

    // Printer frame.
    void cmbPrinter_Click();
    void cmdProp_Click();

    // Files frame.
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void cmdPrint_Click();
    void cmdView_Click();
    void lstFiles_DblClick(QListWidgetItem* item);
    void lstFiles_SelectionChanged();
    void lstFiles_MouseMove(QMouseEvent* event);
    void lstFiles_OLEDragOver(QDragMoveEvent* event);
    void lstFiles_OLEDragDrop(QDropEvent* event);

    // Help menu.
    void mnuContents_Click();
    void mnuAbout_Click();

    // Codes frame.
    void cmdEscape_Click();
    void cmdCode_Click();
    void cmdASCII_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdSend_Click();

    // The print run and the job followed.
    void PrintRun_Progress(const PrintProgress& progress);
    void PrintRun_Finished(const QStringList& failures);
    void ProgressDelay_Timer();
    void JobFollower_StatusSeen(const std::string& printer, int jobId, const JobStatus& status);

    // The selected direct printer's state.
    void PrinterPoll_Timer();
    void PrinterWatch_Seen(const PrinterTarget& printer, const PrinterAnswer& answer);

private:
    Desktop& desktop_;
    PrinterAccess& printers_;
    PrinterCatalog& catalog_;
    RememberedPrinters* remembered_ = nullptr;
    bool loaded_ = false;
    // The run in progress, or none. A child of the window, so it goes with it at the latest.
    PrintRun* run_ = nullptr;
    // The run sends the code box's codes rather than the files.
    bool sendingCodes_ = false;
    // Where the run stands, and whether it has lasted long enough to say so.
    std::optional<PrintProgress> progress_;
    bool progressShown_ = false;
    QTimer* progressDelay_ = nullptr;
    QShortcut* stopShortcut_ = nullptr;
    // The window is closing: the run ends unheard.
    bool closing_ = false;
    JobFollower* follower_ = nullptr;
    std::string followedPrinter_;
    int followedJob_ = 0;
    // The followed job's state as last heard, e.g. "Job 42 on Mid_Queue: printing".
    QString jobText_;
    // The selected direct printer's state as last heard, with why sources told nothing (its
    // tooltip); shown in place of the job's state when heard after it.
    PrinterWatch* watch_ = nullptr;
    QTimer* printerPoll_ = nullptr;
    QString printerText_;
    QString printerNotes_;
    bool printerNewer_ = false;
    // What the status bar says while a run waits for its printer's answer.
    QString checkingText_;
    bool askingProperties_ = false;
    QString programFolder_;

    // The one file dialog of the window, shared by Add, Open and Save: its type list and
    // file name carry over from one use to the next.
    CommonDialog CommonDialog1;

    QMenu* mnuFile = nullptr;
    QAction* mnuAddPrinter = nullptr;
    QAction* mnuFindPrinters = nullptr;
    QAction* mnuForgetPrinter = nullptr;
    QAction* mnuViewFile = nullptr;
    QAction* mnuFileLine1 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuContents = nullptr;
    QAction* mnuHelpLine1 = nullptr;
    QAction* mnuAbout = nullptr;

    QGroupBox* Frame1 = nullptr;
    QComboBox* cmbPrinter = nullptr;
    QPushButton* cmdProp = nullptr;

    QGroupBox* Frame2 = nullptr;
    QListWidget* lstFiles = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdView = nullptr;
    QPushButton* cmdUp = nullptr;
    QPushButton* cmdDown = nullptr;
    QPushButton* cmdPrint = nullptr;

    QGroupBox* Frame3 = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCode = nullptr;
    QPushButton* cmdEscape = nullptr;
    QPushButton* cmdASCII = nullptr;
    QPushButton* cmdSend = nullptr;
    CodeBox* txtCodes = nullptr;
    // The ASCII table, while it is open. It has no owner, so it stays open when this
    // window closes; it is gone when closed.
    QPointer<frmASCII> asciiTable_;

    QStatusBar* StatusBar1 = nullptr;
    QLabel* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QLabel* Panel3 = nullptr;

    QTimer* Timer1 = nullptr;
};
