#include "ui/main/frm_main.h"

#include "app_info.h"
#include "core/code_table.h"
#include "core/file_error.h"
#include "core/notation.h"
#include "core/safe_text.h"
#include "core/whole_file.h"
#include "printing/address/printer_address.h"
#include "printing/discovery/discovery_options.h"
#include "printing/discovery/printer_finder.h"
#include "printing/job/job_failure.h"
#include "printing/job/job_status.h"
#include "printing/job/printer_access.h"
#include "printing/job/printer_target.h"
#include "printing/printer_catalog.h"
#include "printing/printer_list.h"
#include "ui/code_box/code_box.h"
#include "ui/code_box/code_font.h"
#include "ui/code_page/ansi_text.h"
#include "ui/dialogs/frm_about.h"
#include "ui/dialogs/frm_ascii.h"
#include "ui/dialogs/frm_code_select.h"
#include "ui/dialogs/frm_find_printers.h"
#include "ui/dialogs/frm_printer_address.h"
#include "ui/inspect/frm_inspect.h"
#include "ui/main/code_file.h"
#include "ui/main/combo_list_target.h"
#include "ui/main/frame_caption_style.h"
#include "ui/main/help_document.h"
#include "ui/main/job_follower.h"
#include "ui/main/print_run.h"
#include "ui/main/printer_state_text.h"
#include "ui/main/printer_watch.h"
#include "ui/main/remembered_printers.h"
#include "ui/resources/svg_icon.h"
#include "ui/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <filesystem>
#include <system_error>

namespace {

// The file types Add offers; the code box's Open offers the same.
const QString PrinterFileFilter = QStringLiteral(
    "Windows printer files (*.prn)|*.prn|PCL5 files (*.pcl)|*.pcl|All Files (*.*)|*.*");

const QString NoPrintersMessage = QStringLiteral("There are no printers installed on your system!");
const QString PropertyPagesMessage = QStringLiteral("Couldn't start property pages.");
const QString NoSettingsPageMessage =
    QStringLiteral("It is a device of this computer: it has no settings page.");
const QString WebPageQuestion = QStringLiteral("Open its web page, %1?");
const QString ForgetQuestion =
    QStringLiteral("Forget %1? It leaves the printer list, and Tolvenmark no longer lists it "
                   "when it starts.");
const QString NotRememberedMessage =
    QStringLiteral("%1 is listed until Tolvenmark ends: the list of remembered printers could "
                   "not be written (%2).");
const QString NotForgottenMessage =
    QStringLiteral("%1 is still remembered: the list of remembered printers could not be "
                   "written (%2).");
const QString SendAnywayQuestion = QStringLiteral("%1 reports %2. Send anyway?");
const QString AskingPrinter = QStringLiteral("Asking %1 how it stands...");
const QString FilesNotSentMessage = QStringLiteral("The following could not be sent:");
const QString OverwriteQuestion = QStringLiteral("File already exists! Overwrite?");
const QString NotSaved = QStringLiteral("Nothing was saved.");
const QString NotSent = QStringLiteral("Nothing was sent.");
const QString CodesNotSentMessage = QStringLiteral("The codes could not be sent: %1");
const QString RunningQuestion =
    QStringLiteral("Files are still being sent to the printer. Stop sending them and close?");
const QString MakerLine = QStringLiteral("Zelby ICT Services");
const QString PrintCaption = QStringLiteral("Print");
const QString PrintToolTip = QStringLiteral("Send all files to selected printer");
const QString StopCaption = QStringLiteral("Stop");
const QString StopToolTip = QStringLiteral("Stop sending the files (Esc)");

// How long a print run goes before the status bar says where it stands: a short run
// would only flicker there.
constexpr int ProgressDelayMs = 1000;

// How often the selected direct printer is asked how it stands while the window is active,
// and how old an answer may be that a run takes instead of asking again.
constexpr int PrinterPollMs = 5000;
constexpr std::chrono::milliseconds RecentAnswerAge{5000};

constexpr int ClientWidth = 7335;
constexpr int ClientHeight = 6810;
constexpr int StatusBarHeight = 255;
// Between two status bar panels, in pixels.
constexpr int PanelGap = 3;
// The first panel's text keeps clear of the window's left edge, which would clip its
// first letter.
constexpr int PanelInset = 3;

// The role under which an entry of the file queue keeps its path's bytes.
constexpr int PathRole = Qt::UserRole;

// A path as the file procedures take it: UTF-8 on every platform (on Windows the ANSI
// code page could not name every file, and would name some as other files).
std::string LocalPath(const QString& path) {
    return path.toStdString();
}

// The path of a local file's address, byte for byte. The address carries the bytes
// percent-encoded; toLocalFile() would decode them as text and lose those of a name that
// is not valid UTF-8. Windows takes its paths as text, so there the text is right.
std::string LocalFileBytes(const QUrl& url) {
#ifdef _WIN32
    return LocalPath(url.toLocalFile());
#else
    QByteArray path = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    // A named host makes a network path, as toLocalFile() writes it.
    if (!url.host().isEmpty()) {
        path.prepend("//" + url.host(QUrl::FullyEncoded).toLatin1());
    }
    return path.toStdString();
#endif
}

// A relative path made absolute against the current folder, less the "." steps a shell's
// completion leaves in it; ".." stays, as it may lead back out of a link. An absolute path
// is kept as it is.
std::string AbsolutePath(const std::string& path) {
    std::error_code failed;
    const std::filesystem::path given(path);
    const std::filesystem::path absolute = std::filesystem::absolute(given, failed);
    if (given.is_absolute() || failed) {
        return path;
    }
    std::filesystem::path cleaned;
    for (const std::filesystem::path& step : absolute) {
        if (step != ".") {
            cleaned /= step;
        }
    }
    return cleaned.string();
}

// The paths of the local files a drag or drop carries: file managers offer them as a
// text/uri-list of file: addresses. Other addresses are no files of this machine.
std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> paths;
    if (data == nullptr || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.push_back(LocalFileBytes(url));
        }
    }
    return paths;
}

// Whether a drag or drop carries local files and lets them be copied.
bool OffersFilesToCopy(const QDropEvent& event) {
    return event.possibleActions().testFlag(Qt::CopyAction) &&
           !LocalFiles(event.mimeData()).empty();
}

// Text from outside (a printer's or spooler's words, a printer's or file's name) as the
// window shows it: through the same rule as the command line's, so a control character
// shows as \xNN rather than acting in a message box or the status bar.
QString Shown(const std::string& text) {
    return QString::fromStdString(SafeText(text, WholeText));
}

QString MessageOf(const FileError& error) {
    return Shown(error.what());
}

// Names a character the code page has no byte for, so that the user can find it: the
// character itself where it is visible, and always its Unicode number.
QString DescribeCharacter(char32_t character) {
    const QString number =
        QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QLatin1Char('0')).toUpper();
    if (!QChar::isPrint(character)) {
        return number;
    }
    return QStringLiteral("\u201C%1\u201D (%2)").arg(QString::fromUcs4(&character, 1), number);
}

QString UnmappableMessage(const AnsiText::Unmappable& unmappable, const QString& refusal) {
    return QStringLiteral("The codes hold the character %1 at position %2 (counting from 1, "
                          "a line break as two), which has no byte value: the code box takes "
                          "only the 256 characters of Windows-1252. %3")
        .arg(DescribeCharacter(unmappable.character))
        .arg(unmappable.position + 1)
        .arg(refusal);
}

} // namespace

frmMain::frmMain(Desktop& desktop, PrinterAccess& printers, PrinterCatalog& catalog,
                 JobMonitor& monitor, QWidget* parent)
    : QMainWindow(parent), desktop_(desktop), printers_(printers), catalog_(catalog),
      programFolder_(QCoreApplication::applicationDirPath()) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromUtf8(AppInfo::Title));
    setWindowIcon(SvgIcon::ApplicationIcon());
    // A fixed single border: only the close box, no minimize or maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    CreateMenus();
    setCentralWidget(CreateClientArea());
    CreateStatusBar();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    SetTabOrder();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    progressDelay_ = new QTimer(this);
    progressDelay_->setObjectName(QStringLiteral("ProgressDelay"));
    progressDelay_->setSingleShot(true);
    progressDelay_->setInterval(ProgressDelayMs);
    // Escape stops a run; at any other time it is left to the control that has the focus.
    stopShortcut_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stopShortcut_->setContext(Qt::WindowShortcut);
    stopShortcut_->setEnabled(false);
    follower_ = new JobFollower(monitor, this);
    watch_ = new PrinterWatch(printers_, this);
    printerPoll_ = new QTimer(this);
    printerPoll_->setObjectName(QStringLiteral("PrinterPoll"));
    printerPoll_->setInterval(PrinterPollMs);

    ConnectHandlers();
    Timer1->start();
    printerPoll_->start();
    cmbPrinter->setFocus();
}

// The ASCII table outlives this window's closing, not the window itself. The run, the
// follower and the printers' reader are stopped and their threads waited for before any
// control they report to goes.
frmMain::~frmMain() {
    delete run_;
    delete follower_;
    delete watch_;
    delete asciiTable_;
}

void frmMain::Load() {
    if (loaded_) {
        return;
    }
    loaded_ = true;
    Form_Load();
}

void frmMain::SetProgramFolder(const QString& folder) {
    programFolder_ = folder;
}

void frmMain::SetJobPollInterval(std::chrono::milliseconds interval) {
    follower_->SetInterval(interval);
}

void frmMain::AddFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        AddFile(path);
    }
}

void frmMain::AddPrinterAddresses(const std::vector<PrinterAddress>& addresses) {
    int first = -1;
    for (const PrinterAddress& address : addresses) {
        const int index = PrinterAddressIndex(address);
        first = first < 0 ? index : first;
    }
    if (first >= 0) {
        cmbPrinter->setCurrentIndex(first);
    }
}

void frmMain::SetRememberedPrinters(RememberedPrinters* remembered) {
    remembered_ = remembered;
}

// --- building the window ------------------------------------------------------------

void frmMain::CreateMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->menuAction()->setObjectName(QStringLiteral("mnuFileAction"));
    mnuAddPrinter = mnuFile->addAction(QStringLiteral("&Add Printer Address..."));
    mnuAddPrinter->setObjectName(QStringLiteral("mnuAddPrinter"));
    mnuFindPrinters = mnuFile->addAction(QStringLiteral("&Find Printers..."));
    mnuFindPrinters->setObjectName(QStringLiteral("mnuFindPrinters"));
    mnuForgetPrinter = mnuFile->addAction(QStringLiteral("F&orget Printer"));
    mnuForgetPrinter->setObjectName(QStringLiteral("mnuForgetPrinter"));
    mnuForgetPrinter->setEnabled(false);
    mnuViewFile = mnuFile->addAction(QStringLiteral("&View File..."));
    mnuViewFile->setObjectName(QStringLiteral("mnuViewFile"));
    mnuFileLine1 = mnuFile->addSeparator();
    mnuFileLine1->setObjectName(QStringLiteral("mnuFileLine1"));
    mnuExit = mnuFile->addAction(QStringLiteral("&Exit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelpAction"));
    mnuContents = mnuHelp->addAction(QStringLiteral("&Contents"));
    mnuContents->setObjectName(QStringLiteral("mnuContents"));
    mnuHelpLine1 = mnuHelp->addSeparator();
    mnuHelpLine1->setObjectName(QStringLiteral("mnuHelpLine1"));
    mnuAbout = mnuHelp->addAction(QStringLiteral("&About"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
}

QWidget* frmMain::CreateClientArea() {
    // The client area below the menu bar, less the status bar docked at its bottom.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(Twips::ToPixels(ClientWidth),
                         Twips::ToPixels(ClientHeight - StatusBarHeight));
    // One style object serves the three frame captions. A window deletes its children in
    // the order they were made, so the style, made after the client area, outlives the
    // frames that use it.
    auto* captionStyle = new FrameCaptionStyle;
    captionStyle->setParent(this);
    CreatePrinterFrame(client);
    CreateFilesFrame(client);
    CreateCodesFrame(client);
    for (QGroupBox* frame : {Frame1, Frame2, Frame3}) {
        frame->setStyle(captionStyle);
    }
    return client;
}

QGroupBox* frmMain::CreateFrame(QWidget* client, const char* name, const QString& caption) {
    auto* frame = new QGroupBox(caption, client);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

QPushButton* frmMain::CreateButton(QWidget* frame, const char* name, const QString& caption,
                                   const QString& toolTip) {
    auto* button = new QPushButton(caption, frame);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    // No button is the window's default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QPushButton* frmMain::CreatePictureButton(QWidget* frame, const char* name, const QString& picture,
                                          const QString& toolTip) {
    QPushButton* button = CreateButton(frame, name, QString(), toolTip);
    button->setIcon(SvgIcon::Load(picture, {16}));
    button->setIconSize(QSize(16, 16));
    return button;
}

void frmMain::CreatePrinterFrame(QWidget* client) {
    Frame1 = CreateFrame(client, "Frame1", QStringLiteral("Printer"));
    Frame1->setGeometry(Twips::ToRect(120, 120, 7095, 855));

    cmbPrinter = new QComboBox(Frame1);
    cmbPrinter->setObjectName(QStringLiteral("cmbPrinter"));
    cmbPrinter->setEditable(false);
    cmbPrinter->setGeometry(Twips::ToRect(120, 360, 5655, 315));

    cmdProp = CreateButton(Frame1, "cmdProp", QStringLiteral("Properties"), QString());
    cmdProp->setGeometry(Twips::ToRect(5880, 360, 1095, 375));
}

void frmMain::CreateFilesFrame(QWidget* client) {
    Frame2 = CreateFrame(client, "Frame2", QStringLiteral("Files"));
    Frame2->setGeometry(Twips::ToRect(120, 1080, 7095, 3135));

    lstFiles = new QListWidget(Frame2);
    lstFiles->setObjectName(QStringLiteral("lstFiles"));
    lstFiles->setGeometry(Twips::ToRect(120, 360, 5655, 2595));
    lstFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lstFiles->setSortingEnabled(false);
    // Drops, pointer moves and tooltips over the entries are handled by this window.
    lstFiles->setAcceptDrops(true);
    lstFiles->viewport()->setAcceptDrops(true);
    lstFiles->viewport()->setMouseTracking(true);
    lstFiles->viewport()->installEventFilter(this);

    cmdAdd = CreateButton(Frame2, "cmdAdd", QStringLiteral("Add"), QStringLiteral("Add a file"));
    cmdAdd->setGeometry(Twips::ToRect(5880, 360, 1095, 375));
    cmdDelete =
        CreateButton(Frame2, "cmdDelete", QStringLiteral("Delete"), QStringLiteral("Delet item"));
    cmdDelete->setGeometry(Twips::ToRect(5880, 840, 1095, 375));
    cmdView = CreateButton(Frame2, "cmdView", QStringLiteral("View"),
                           QStringLiteral("Show what the file holds"));
    cmdView->setGeometry(Twips::ToRect(5880, 1320, 1095, 375));
    cmdView->setEnabled(false);
    // Side by side, below View.
    cmdUp = CreatePictureButton(Frame2, "cmdUp", QStringLiteral(":/icons/arrow_up.svg"),
                                QStringLiteral("Move item up"));
    cmdUp->setGeometry(Twips::ToRect(6000, 1920, 375, 375));
    cmdDown = CreatePictureButton(Frame2, "cmdDown", QStringLiteral(":/icons/arrow_down.svg"),
                                  QStringLiteral("Move item down"));
    cmdDown->setGeometry(Twips::ToRect(6480, 1920, 375, 375));
    cmdPrint = CreateButton(Frame2, "cmdPrint", PrintCaption, PrintToolTip);
    cmdPrint->setGeometry(Twips::ToRect(5880, 2640, 1095, 375));
}

void frmMain::CreateCodesFrame(QWidget* client) {
    Frame3 = CreateFrame(client, "Frame3", QStringLiteral("Codes"));
    Frame3->setGeometry(Twips::ToRect(120, 4320, 7095, 2175));

    cmdOpen = CreatePictureButton(Frame3, "cmdOpen", QStringLiteral(":/icons/folder_open.svg"),
                                  QStringLiteral("Open"));
    cmdOpen->setGeometry(Twips::ToRect(120, 360, 375, 375));
    cmdSave = CreatePictureButton(Frame3, "cmdSave", QStringLiteral(":/icons/diskette.svg"),
                                  QStringLiteral("Save"));
    cmdSave->setGeometry(Twips::ToRect(600, 360, 375, 375));

    const QFont codeFont = CodeFont();
    cmdCode =
        CreateButton(Frame3, "cmdCode", QStringLiteral("Code"), QStringLiteral("Insert a code"));
    cmdCode->setGeometry(Twips::ToRect(3480, 360, 615, 375));
    cmdEscape = CreateButton(Frame3, "cmdEscape", QStringLiteral("<ESC>"),
                             QStringLiteral("Insert an escape"));
    cmdEscape->setGeometry(Twips::ToRect(4200, 360, 735, 375));
    cmdASCII = CreateButton(Frame3, "cmdASCII", QStringLiteral("ASCII"),
                            QStringLiteral("Show ASCII Table"));
    cmdASCII->setGeometry(Twips::ToRect(5040, 360, 735, 375));
    for (QPushButton* button : {cmdCode, cmdEscape, cmdASCII}) {
        button->setFont(codeFont);
    }

    cmdSend = CreateButton(Frame3, "cmdSend", QStringLiteral("Send Codes"),
                           QStringLiteral("Send your code to the selected printer"));
    cmdSend->setGeometry(Twips::ToRect(5880, 1680, 1095, 375));

    // Wraps at its width and has no scroll bars; Tab moves on to the next control.
    txtCodes = new CodeBox(Frame3);
    txtCodes->setObjectName(QStringLiteral("txtCodes"));
    txtCodes->setGeometry(Twips::ToRect(120, 840, 5655, 1215));
}

void frmMain::CreateStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(Twips::ToPixels(StatusBarHeight));
    setStatusBar(StatusBar1);

    // The panels keep their own widths side by side with a small gap, as the status bar
    // control draws them; QStatusBar's own item layout would add margins and spacing that
    // no longer fit the client width.
    auto* panels = new QWidget(StatusBar1);
    panels->setObjectName(QStringLiteral("StatusBar1Panels"));
    panels->setGeometry(0, 0, Twips::ToPixels(ClientWidth), Twips::ToPixels(StatusBarHeight));
    auto* row = new QHBoxLayout(panels);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(PanelGap);
    const struct {
        QLabel** label;
        const char* name;
        int width;
    } columns[] = {{&Panel1, "Panel1", 6150}, {&Panel2, "Panel2", 500}, {&Panel3, "Panel3", 600}};
    for (const auto& column : columns) {
        auto* label = new QLabel(panels);
        label->setObjectName(QString::fromLatin1(column.name));
        label->setFixedWidth(Twips::ToPixels(column.width));
        row->addWidget(label);
        *column.label = label;
    }
    row->addStretch();
    Panel1->setContentsMargins(PanelInset, 0, 0, 0);
    Panel1->setText(MakerLine);
}

void frmMain::SetTabOrder() {
    const QWidget* order[] = {cmbPrinter, cmdProp,  lstFiles, cmdAdd,  cmdDelete, cmdView,
                              cmdUp,      cmdDown,  cmdPrint, cmdOpen, cmdSave,   cmdCode,
                              cmdEscape,  cmdASCII, cmdSend,  txtCodes};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
    }
}

void frmMain::ConnectHandlers() {
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuAddPrinter, &QAction::triggered, this, &frmMain::mnuAddPrinter_Click);
    connect(mnuFindPrinters, &QAction::triggered, this, &frmMain::mnuFindPrinters_Click);
    connect(mnuForgetPrinter, &QAction::triggered, this, &frmMain::mnuForgetPrinter_Click);
    connect(cmbPrinter, &QComboBox::currentIndexChanged, this, &frmMain::cmbPrinter_Click);
    connect(cmdProp, &QPushButton::clicked, this, &frmMain::cmdProp_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMain::cmdAdd_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(cmdUp, &QPushButton::clicked, this, &frmMain::cmdUp_Click);
    connect(cmdDown, &QPushButton::clicked, this, &frmMain::cmdDown_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmMain::cmdPrint_Click);
    connect(cmdView, &QPushButton::clicked, this, &frmMain::cmdView_Click);
    connect(mnuViewFile, &QAction::triggered, this, &frmMain::mnuViewFile_Click);
    connect(lstFiles, &QListWidget::itemDoubleClicked, this, &frmMain::lstFiles_DblClick);
    connect(lstFiles, &QListWidget::itemSelectionChanged, this,
            &frmMain::lstFiles_SelectionChanged);
    connect(cmdEscape, &QPushButton::clicked, this, &frmMain::cmdEscape_Click);
    connect(cmdCode, &QPushButton::clicked, this, &frmMain::cmdCode_Click);
    connect(cmdASCII, &QPushButton::clicked, this, &frmMain::cmdASCII_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmMain::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
    connect(cmdSend, &QPushButton::clicked, this, &frmMain::cmdSend_Click);
    connect(mnuContents, &QAction::triggered, this, &frmMain::mnuContents_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(progressDelay_, &QTimer::timeout, this, &frmMain::ProgressDelay_Timer);
    connect(stopShortcut_, &QShortcut::activated, this, &frmMain::StopPrintRun);
    connect(follower_, &JobFollower::StatusSeen, this, &frmMain::JobFollower_StatusSeen);
    connect(printerPoll_, &QTimer::timeout, this, &frmMain::PrinterPoll_Timer);
    connect(watch_, &PrinterWatch::Seen, this, &frmMain::PrinterWatch_Seen);
}

// --- start-up, clock and exit -------------------------------------------------------

void frmMain::Form_Load() {
    modAsciiStuff::BuildCodeTable();
    ComboListTarget printers(*cmbPrinter);
    if (!modTools::FillPrinterList(catalog_, printers)) {
        desktop_.ShowMessage(NoPrintersMessage);
    }
    RestoreRememberedPrinters();
    Timer1_Timer();
    Panel2->setText(QString::fromLatin1(AppInfo::Version));
}

void frmMain::Timer1_Timer() {
    Panel3->setText(desktop_.LocalTime().toString(QStringLiteral("HH:mm")));
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // Closing unloads the window; only a print run in progress makes it ask first, and a
    // run the user keeps keeps the window too.
    if (run_ != nullptr && !run_->StopRequested() &&
        desktop_.ShowMessage(RunningQuestion, MessageButtons::YesNo, MessageIcon::Information) !=
            MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    if (run_ != nullptr) {
        closing_ = true;
        run_->Stop();
    }
    // The viewers go with the window whose code box they fill.
    for (frmInspect* viewer : findChildren<frmInspect*>()) {
        viewer->close();
    }
    // The clock stops with the window, and so do the printers' questions.
    Timer1->stop();
    printerPoll_->stop();
    watch_->Close();
    event->accept();
}

std::string frmMain::SelectedPrinter() const {
    const int index = cmbPrinter->currentIndex();
    return index < 0 ? std::string() : ComboListTarget::ItemName(*cmbPrinter, index);
}

std::optional<PrinterTarget> frmMain::SelectedTarget(const QString& refusal) {
    try {
        return PrinterTarget::Resolve(SelectedPrinter());
    } catch (const JobFailure& failure) {
        desktop_.ShowMessage(refusal.arg(Shown(failure.what())));
        return std::nullopt;
    }
}

std::optional<PrinterTarget> frmMain::SelectedDirectPrinter() const {
    const std::string name = SelectedPrinter();
    if (!PrinterAddress::IsAddress(name)) {
        return std::nullopt;
    }
    try {
        return PrinterTarget::Resolve(name);
    } catch (const JobFailure&) {
        return std::nullopt;
    }
}

// --- printer frame ------------------------------------------------------------------

// The status bar speaks of the printer now selected: what it said of another is gone, and a
// direct printer is asked at once. A queue's state is the spooler's, told by its jobs.
void frmMain::cmbPrinter_Click() {
    printerText_.clear();
    printerNotes_.clear();
    watch_->Watch(SelectedDirectPrinter());
    ShowStatus();
    ShowForgettable();
}

// Asked only while the user looks at the window; the watch asks nothing while a run sends.
void frmMain::PrinterPoll_Timer() {
    if (isActiveWindow()) {
        watch_->Refresh();
    }
}

void frmMain::PrinterWatch_Seen(const PrinterTarget& printer, const PrinterAnswer& answer) {
    printerText_ = PrinterStateText::StatusLine(printer.Name(), answer);
    printerNotes_ = PrinterStateText::Notes(answer);
    printerNewer_ = true;
    ShowStatus();
}

// An address is listed in its full form, so that two spellings of one printer (with and
// without the default port) make one entry. The placeholder of an empty list goes: there
// is a printer now.
int frmMain::PrinterAddressIndex(const PrinterAddress& address) {
    return PrinterIndex(address.Text());
}

int frmMain::PrinterIndex(const std::string& text) {
    for (int i = 0; i < cmbPrinter->count(); ++i) {
        if (ComboListTarget::ItemName(*cmbPrinter, i) == text) {
            return i;
        }
    }
    if (cmbPrinter->count() == 1 && cmbPrinter->currentIndex() < 0 &&
        ComboListTarget::ItemName(*cmbPrinter, 0) == modTools::NoPrinterEntry) {
        cmbPrinter->clear();
    }
    ComboListTarget(*cmbPrinter).AddItem(text);
    return cmbPrinter->count() - 1;
}

void frmMain::mnuAddPrinter_Click() {
    frmPrinterAddress dialog(this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Address()) {
        return;
    }
    AddChosenPrinter(PrinterTarget::Direct(*dialog.Address()));
}

// The finder is made for each search with the default options: the network is searched as
// the system publishes it, never swept.
void frmMain::mnuFindPrinters_Click() {
    frmFindPrinters dialog([this] { return printers_.Finder(DiscoveryOptions()); },
                           frmFindPrinters::DefaultTimeout, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) {
        return;
    }
    AddChosenPrinter(*dialog.Chosen());
}

// A queue is the spooler's to list: it is selected (listed for this run when it came after
// the list was filled), never remembered.
void frmMain::AddChosenPrinter(const PrinterTarget& printer) {
    if (printer.IsQueue()) {
        cmbPrinter->setCurrentIndex(PrinterIndex(printer.Name()));
        return;
    }
    cmbPrinter->setCurrentIndex(PrinterAddressIndex(printer.Address()));
    if (remembered_ != nullptr && !remembered_->Remember(printer.Address().Text())) {
        desktop_.ShowMessage(
            NotRememberedMessage.arg(Shown(printer.Name()), remembered_->Location()));
    }
    ShowForgettable();
}

// An address the store holds that is no address (the store was edited by hand) is passed
// over. A printer that is gone is listed all the same: using it says why it can't be reached.
void frmMain::RestoreRememberedPrinters() {
    if (remembered_ == nullptr) {
        return;
    }
    const bool noQueue = cmbPrinter->currentIndex() < 0 && cmbPrinter->count() == 1 &&
                         ComboListTarget::ItemName(*cmbPrinter, 0) == modTools::NoPrinterEntry;
    int first = -1;
    for (const std::string& text : remembered_->Addresses()) {
        const ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
        if (parsed.address) {
            const int index = PrinterAddressIndex(*parsed.address);
            first = first < 0 ? index : first;
        }
    }
    if (noQueue && first >= 0) {
        cmbPrinter->setCurrentIndex(first);
    }
    ShowForgettable();
}

void frmMain::ShowForgettable() {
    mnuForgetPrinter->setEnabled(remembered_ != nullptr && cmbPrinter->currentIndex() >= 0 &&
                                 remembered_->Contains(SelectedPrinter()));
}

// The printer leaves the list at once and no other takes its place, so nothing is sent to a
// printer the user did not choose; an emptied list shows its placeholder again.
void frmMain::mnuForgetPrinter_Click() {
    const std::string printer = SelectedPrinter();
    if (remembered_ == nullptr || !remembered_->Contains(printer) ||
        desktop_.ShowMessage(ForgetQuestion.arg(Shown(printer)), MessageButtons::YesNo,
                             MessageIcon::Information) != MessageAnswer::Yes) {
        return;
    }
    if (!remembered_->Forget(printer)) {
        desktop_.ShowMessage(NotForgottenMessage.arg(Shown(printer), remembered_->Location()));
        return;
    }
    {
        const QSignalBlocker quiet(cmbPrinter);
        cmbPrinter->removeItem(PrinterIndex(printer));
        cmbPrinter->setCurrentIndex(-1);
        if (cmbPrinter->count() == 0) {
            ComboListTarget(*cmbPrinter).AddItem(modTools::NoPrinterEntry);
        }
    }
    cmbPrinter_Click();
}

void frmMain::cmdProp_Click() {
    const std::optional<PrinterTarget> printer = SelectedTarget(QStringLiteral("%1"));
    if (!printer) {
        return;
    }
    if (!printer->IsQueue()) {
        ShowAddressProperties(*printer);
    } else if (!catalog_.OpenPrinterSettings(printer->Name())) {
        desktop_.ShowMessage(PropertyPagesMessage);
    }
}

// The question may take the printer's time-outs: it goes to the reader's thread, and
// Properties waits for the answer (or for the end of a run, which no question disturbs).
void frmMain::ShowAddressProperties(const PrinterTarget& printer) {
    if (askingProperties_) {
        return;
    }
    askingProperties_ = true;
    cmdProp->setEnabled(false);
    watch_->Get(printer, std::chrono::milliseconds(0),
                [this, address = printer.Address()](const PrinterAnswer& answer) {
                    askingProperties_ = false;
                    cmdProp->setEnabled(true);
                    OpenAddressSettings(address, answer);
                });
}

// A network printer's settings are on its own web server, on the standard port whatever
// port it prints on.
void frmMain::OpenAddressSettings(const PrinterAddress& address, const PrinterAnswer& answer) {
    const QString properties = PrinterStateText::Properties(address, answer);
    if (address.host().empty()) {
        desktop_.ShowMessage(properties + QStringLiteral("\n\n") + NoSettingsPageMessage);
        return;
    }
    const QString page =
        QStringLiteral("http://%1/").arg(QString::fromStdString(address.HostForUrl()));
    if (desktop_.ShowMessage(properties + QStringLiteral("\n\n") + WebPageQuestion.arg(page),
                             MessageButtons::YesNo,
                             MessageIcon::Information) != MessageAnswer::Yes) {
        return;
    }
    if (!desktop_.OpenWebAddress(page)) {
        desktop_.ShowMessage(PropertyPagesMessage);
    }
}

// --- files frame --------------------------------------------------------------------

int frmMain::SelectedFileIndex() const {
    const QList<QListWidgetItem*> selected = lstFiles->selectedItems();
    return selected.isEmpty() ? -1 : lstFiles->row(selected.first());
}

void frmMain::SelectFile(int index) {
    lstFiles->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

void frmMain::MoveFileUp(int index) {
    lstFiles->insertItem(index - 1, lstFiles->takeItem(index));
}

// The entry shows the name as Qt decodes it (a byte that is no text shows as a
// replacement character) and keeps the bytes, which are what names the file.
void frmMain::AddFile(const std::string& path) {
    const QByteArray bytes = QByteArray::fromStdString(AbsolutePath(path));
    auto* item = new QListWidgetItem(QString::fromUtf8(bytes));
    item->setData(PathRole, bytes);
    lstFiles->addItem(item);
}

std::string frmMain::FilePath(int index) const {
    return lstFiles->item(index)->data(PathRole).toByteArray().toStdString();
}

// The dialog gives the name as text only; encoded back, it is exact for every name that is
// text.
void frmMain::cmdAdd_Click() {
    CommonDialog1.Filter = PrinterFileFilter;
    if (!desktop_.ShowOpen(CommonDialog1) || CommonDialog1.FileName.isEmpty()) {
        return;
    }
    AddFile(LocalPath(CommonDialog1.FileName));
}

void frmMain::cmdView_Click() {
    const int index = SelectedFileIndex();
    if (index >= 0) {
        ViewFile(FilePath(index));
    }
}

void frmMain::lstFiles_DblClick(QListWidgetItem* item) {
    ViewFile(FilePath(lstFiles->row(item)));
}

void frmMain::lstFiles_SelectionChanged() {
    cmdView->setEnabled(SelectedFileIndex() >= 0);
}

// Any file, such as a job a capture kept; it is not added to the list to print.
void frmMain::mnuViewFile_Click() {
    CommonDialog1.Filter = PrinterFileFilter;
    if (!desktop_.ShowOpen(CommonDialog1) || CommonDialog1.FileName.isEmpty()) {
        return;
    }
    ViewFile(LocalPath(CommonDialog1.FileName));
}

// One viewer per View, beside this window and going with it.
void frmMain::ViewFile(const std::string& path) {
    auto* viewer = new frmInspect(
        path,
        [this](const std::string& tokens) {
            txtCodes->ReplaceSelection(AnsiText::FromBytes(tokens));
        },
        this);
    viewer->show();
}

void frmMain::cmdDelete_Click() {
    const int index = SelectedFileIndex();
    if (index < 0) {
        return;
    }
    delete lstFiles->takeItem(index);
    // No other entry takes the place of the deleted one.
    lstFiles->clearSelection();
    lstFiles->setCurrentItem(nullptr);
}

void frmMain::cmdUp_Click() {
    const int index = SelectedFileIndex();
    if (index <= 0) {
        return;
    }
    MoveFileUp(index);
    SelectFile(index - 1);
}

void frmMain::cmdDown_Click() {
    const int index = SelectedFileIndex();
    if (index < 0 || index >= lstFiles->count() - 1) {
        return;
    }
    MoveFileUp(index + 1);
    SelectFile(index + 1);
}

// Print while no run goes starts one; while one goes the button reads Stop and stops it.
// While the printer is asked before a run, the run is not there yet.
void frmMain::cmdPrint_Click() {
    if (run_ != nullptr) {
        StopPrintRun();
    } else if (checkingText_.isEmpty() && lstFiles->count() > 0) {
        StartPrintRun();
    }
}

// The run takes the paths and the printer as they are now: the list and the printer list
// may change meanwhile. A file that fails does not stop the others; the user learns at the
// end which ones did not go, and why.
void frmMain::StartPrintRun() {
    std::vector<std::string> paths;
    for (int i = 0; i < lstFiles->count(); ++i) {
        paths.push_back(FilePath(i));
    }
    const std::optional<PrinterTarget> printer =
        SelectedTarget(FilesNotSentMessage + QStringLiteral("\n\n%1"));
    if (!printer) {
        return;
    }
    CheckPrinterThen(*printer, [this, printer = *printer, paths = std::move(paths)] {
        StartRun(new PrintRun(printers_, printer, paths, this), false);
    });
}

// The answer of the last few seconds serves, else the printer is asked on the reader's
// thread and the run starts when it answered. A printer that told nothing is sent to as
// before: many never answer.
void frmMain::CheckPrinterThen(const PrinterTarget& printer, std::function<void()> send) {
    if (printer.IsQueue()) {
        send();
        return;
    }
    ShowChecking(AskingPrinter.arg(Shown(printer.Name())));
    watch_->Get(printer, RecentAnswerAge,
                [this, name = printer.Name(), send = std::move(send)](const PrinterAnswer& answer) {
                    ShowChecking(QString());
                    const QString trouble = PrinterStateText::Trouble(answer);
                    if (!trouble.isEmpty() &&
                        desktop_.ShowMessage(SendAnywayQuestion.arg(Shown(name), trouble),
                                             MessageButtons::YesNo,
                                             MessageIcon::Information) != MessageAnswer::Yes) {
                        return;
                    }
                    send();
                });
}

void frmMain::ShowChecking(const QString& text) {
    checkingText_ = text;
    cmdPrint->setEnabled(text.isEmpty());
    cmdSend->setEnabled(text.isEmpty() && run_ == nullptr);
    ShowStatus();
}

// Files and codes alike: the window goes on answering, Print reads Stop, and the job the
// spooler takes is followed.
void frmMain::StartRun(PrintRun* run, bool codes) {
    run_ = run;
    sendingCodes_ = codes;
    connect(run_, &PrintRun::Progress, this, &frmMain::PrintRun_Progress);
    connect(run_, &PrintRun::JobTaken, this, &frmMain::FollowJob);
    connect(run_, &PrintRun::JobWithdrawn, this, &frmMain::PrintRun_JobWithdrawn);
    connect(run_, &PrintRun::Finished, this, &frmMain::PrintRun_Finished);
    progress_.reset();
    progressShown_ = false;
    ShowRunning(true);
    progressDelay_->start();
    watch_->Hold(true);
    run_->Start();
}

// The job in progress is withdrawn and nothing more is sent; the run reports its end as
// usual, and the button reads Print again then.
void frmMain::StopPrintRun() {
    if (run_ != nullptr) {
        run_->Stop();
    }
}

void frmMain::ShowRunning(bool running) {
    cmdPrint->setText(running ? StopCaption : PrintCaption);
    cmdPrint->setToolTip(running ? StopToolTip : PrintToolTip);
    cmdSend->setEnabled(!running);
    stopShortcut_->setEnabled(running);
}

void frmMain::PrintRun_Progress(const PrintProgress& progress) {
    progress_ = progress;
    if (progressShown_) {
        ShowStatus();
    }
}

void frmMain::ProgressDelay_Timer() {
    progressShown_ = run_ != nullptr;
    ShowStatus();
}

// The run's thread has ended its work; the object goes once its signal is through.
void frmMain::PrintRun_Finished(const QStringList& failures) {
    run_->deleteLater();
    run_ = nullptr;
    progressDelay_->stop();
    progress_.reset();
    progressShown_ = false;
    ShowRunning(false);
    ShowStatus();
    watch_->Hold(false);
    if (failures.isEmpty() || closing_) {
        return;
    }
    desktop_.ShowMessage(sendingCodes_
                             ? CodesNotSentMessage.arg(failures.first())
                             : FilesNotSentMessage + QStringLiteral("\n\n") + failures.join(u'\n'));
}

// The status bar says what became of the job the user stopped, in place of an older job's
// state.
void frmMain::PrintRun_JobWithdrawn(const QString& name) {
    followedJob_ = 0;
    const QString printer = Shown(run_ ? run_->Printer().Name() : std::string());
    jobText_ = name.isEmpty()
                   ? QStringLiteral("Stopped: the codes were withdrawn from %1").arg(printer)
                   : QStringLiteral("Stopped: %1 was withdrawn from %2").arg(name, printer);
    printerNewer_ = false;
    ShowStatus();
}

void frmMain::FollowJob(const PrinterTarget& printer, int jobId) {
    followedPrinter_ = printer.Name();
    followedJob_ = jobId;
    follower_->Follow(printer, jobId);
}

// An answer about a job followed before the newest one is no news.
void frmMain::JobFollower_StatusSeen(const std::string& printer, int jobId,
                                     const JobStatus& status) {
    if (printer != followedPrinter_ || jobId != followedJob_) {
        return;
    }
    jobText_ = QStringLiteral("Job %1 on %2: %3")
                   .arg(jobId)
                   .arg(Shown(printer), Shown(modJobStatus::Describe(status)));
    printerNewer_ = false;
    ShowStatus();
}

void frmMain::ShowStatus() {
    const bool printerShown =
        !printerText_.isEmpty() && (printerNewer_ || jobText_.isEmpty()) && checkingText_.isEmpty();
    Panel1->setToolTip(printerShown ? printerNotes_ : QString());
    if (progressShown_ && progress_) {
        Panel1->setText(progress_->Text());
    } else if (!checkingText_.isEmpty()) {
        Panel1->setText(checkingText_);
    } else if (printerShown) {
        Panel1->setText(printerText_);
    } else if (!jobText_.isEmpty()) {
        Panel1->setText(jobText_);
    } else {
        Panel1->setText(MakerLine);
    }
}

void frmMain::lstFiles_MouseMove(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        return;
    }
    const QListWidgetItem* item = lstFiles->itemAt(event->position().toPoint());
    lstFiles->setToolTip(item != nullptr ? item->text() : QString());
}

void frmMain::ShowFileToolTip(QHelpEvent* event) {
    const QString text = lstFiles->toolTip();
    const QListWidgetItem* item = lstFiles->itemAt(event->pos());
    if (text.isEmpty() || item == nullptr) {
        QToolTip::hideText();
        return;
    }
    // The tip goes when the pointer leaves the entry, so the next entry gets its own.
    QToolTip::showText(event->globalPos(), text, lstFiles->viewport(),
                       lstFiles->visualItemRect(item));
}

void frmMain::lstFiles_OLEDragOver(QDragMoveEvent* event) {
    if (!OffersFilesToCopy(*event)) {
        event->ignore();
        return;
    }
    // The files are only listed, never moved.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void frmMain::lstFiles_OLEDragDrop(QDropEvent* event) {
    if (!OffersFilesToCopy(*event)) {
        event->ignore();
        return;
    }
    AddFiles(LocalFiles(event->mimeData()));
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (lstFiles == nullptr || watched != lstFiles->viewport()) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseMove:
        lstFiles_MouseMove(static_cast<QMouseEvent*>(event));
        return false; // the list still follows the pointer itself
    case QEvent::ToolTip:
        ShowFileToolTip(static_cast<QHelpEvent*>(event));
        return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
        lstFiles_OLEDragOver(static_cast<QDragMoveEvent*>(event));
        return true;
    case QEvent::Drop:
        lstFiles_OLEDragDrop(static_cast<QDropEvent*>(event));
        return true;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

// --- codes frame --------------------------------------------------------------------

// The escape token goes in place of the selection, or at the caret, and the text is then
// assigned whole: the caret stands at the start, so a second escape without touching the
// box goes there. The focus stays on the button.
void frmMain::cmdEscape_Click() {
    txtCodes->ReplaceSelection(QStringLiteral("<ESC>"));
}

// The picker inserts each code it is given itself; it is a fresh window each time.
void frmMain::cmdCode_Click() {
    frmCodeSelect picker(*txtCodes);
    picker.exec();
}

// One ASCII table, beside this window and without an owner; a second click brings the
// open one to the front.
void frmMain::cmdASCII_Click() {
    if (asciiTable_.isNull()) {
        asciiTable_ = new frmASCII(desktop_);
    }
    asciiTable_->show();
    asciiTable_->raise();
    asciiTable_->activateWindow();
}

// The file's bytes replace the box's text as notation; a missing file empties the box.
// A file that can't be read is said in a message and changes nothing.
void frmMain::cmdOpen_Click() {
    CommonDialog1.Filter = PrinterFileFilter;
    if (!desktop_.ShowOpen(CommonDialog1) || CommonDialog1.FileName.isEmpty()) {
        return;
    }
    try {
        const std::string bytes = modTools::ReadWholeFile(LocalPath(CommonDialog1.FileName));
        txtCodes->SetBytes(modTools::BytesToNotation(bytes));
    } catch (const FileError& error) {
        desktop_.ShowMessage(MessageOf(error));
    }
}

// The box's bytes go to the chosen file. Codes that can't be saved as they are stop before
// the dialog. The old file is replaced only by a complete new one, so a failed save leaves
// it as it was, and the box keeps its text either way.
void frmMain::cmdSave_Click() {
    if (txtCodes->IsEmpty() || !CodeBytes(NotSaved)) {
        return;
    }
    if (!desktop_.ShowSave(CommonDialog1) || CommonDialog1.FileName.isEmpty()) {
        return;
    }
    const std::string path = LocalPath(CommonDialog1.FileName);
    if (CodeFile::Exists(path) &&
        desktop_.ShowMessage(OverwriteQuestion, MessageButtons::YesNo, MessageIcon::Information) !=
            MessageAnswer::Yes) {
        return;
    }
    const std::optional<std::string> bytes = CodeBytes(NotSaved);
    if (!bytes) {
        return;
    }
    try {
        CodeFile::Replace(path, *bytes);
    } catch (const FileError& error) {
        desktop_.ShowMessage(MessageOf(error));
    }
}

// One raw job to the selected printer; the box keeps its codes for the next one. A job the
// spooler refused is said with its reason; one it took is followed like a printed file's.
void frmMain::cmdSend_Click() {
    if (txtCodes->IsEmpty() || run_ != nullptr || !checkingText_.isEmpty()) {
        return;
    }
    const std::optional<std::string> bytes = CodeBytes(NotSent);
    if (!bytes) {
        return;
    }
    const std::optional<PrinterTarget> printer = SelectedTarget(CodesNotSentMessage);
    if (!printer) {
        return;
    }
    CheckPrinterThen(*printer, [this, printer = *printer, codes = PrintRun::Codes{*bytes}] {
        StartRun(new PrintRun(printers_, printer, codes, this), true);
    });
}

std::optional<std::string> frmMain::CodeBytes(const QString& refusal) {
    const AnsiText::Encoded text = txtCodes->Bytes();
    if (!text) {
        // The character is selected, so the user sees it once the message is gone.
        txtCodes->SetSelection(text.unmappable->position,
                               text.unmappable->character > 0xFFFF ? 2 : 1);
        desktop_.ShowMessage(UnmappableMessage(*text.unmappable, refusal));
        return std::nullopt;
    }
    return modTools::NotationToBytes(text.bytes);
}

// --- help menu ----------------------------------------------------------------------

// The viewer runs on its own; a missing manual or a viewer that can't start is said in a
// message, and the user can try again at once.
void frmMain::mnuContents_Click() {
    HelpDocument::Open(desktop_, programFolder_);
}

// A fresh About window for every showing, modal over this one; it is gone when closed.
void frmMain::mnuAbout_Click() {
    frmAbout about(desktop_, this);
    about.exec();
}
