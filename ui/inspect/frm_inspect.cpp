#include "ui/inspect/frm_inspect.h"

#include "app_info.h"
#include "core/file_error.h"
#include "core/file_reader.h"
#include "core/notation.h"
#include "core/safe_text.h"
#include "core/whole_file.h"
#include "ui/inspect/command_search.h"
#include "ui/inspect/command_table_model.h"
#include "ui/inspect/inspect_pass.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <vector>

namespace {

const QString ChangedText = QStringLiteral("the file changed since it was read");

struct ColumnWidth {
    int column;
    int width;
};
constexpr ColumnWidth ColumnWidths[] = {
    {CommandTableModel::OffsetColumn, 90},
    {CommandTableModel::TokensColumn, 260},
    {CommandTableModel::MeaningColumn, 340},
};

// Rows read again from the file for the list: as far as the file still has them.
CommandTableModel::Block FetchRows(const InspectPass& pass, std::uint64_t first,
                                   std::uint64_t count) {
    CommandTableModel::Block block;
    try {
        // Replaced by a FIFO since the pass, it would hold the window: only a file is read.
        modTools::RequireRegularFile(pass.Path());
        FileReader file(pass.Path());
        const CommandIndex::Outcome outcome =
            CommandIndex::Walk(pass.From(first, count), first, file,
                               [&block, count](std::uint64_t, const DecodedCommand& command) {
                                   block.rows.push_back(command);
                                   return block.rows.size() < count;
                               });
        if (outcome == CommandIndex::Outcome::Changed) {
            block.error = ChangedText;
        }
    } catch (const FileError& error) {
        block.error = QString::fromStdString(SafeText(error.what(), 4096));
    }
    return block;
}

} // namespace

frmInspect::frmInspect(std::string path, std::function<void(const std::string&)> toCodes,
                       QWidget* parent)
    : QWidget(parent, Qt::Window), path_(std::move(path)), toCodes_(std::move(toCodes)) {
    setObjectName(QStringLiteral("frmInspect"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QString name = QFileInfo(QString::fromStdString(SafeText(path_, 4096))).fileName();
    setWindowTitle(QStringLiteral("%1 - View - %2").arg(name, QString::fromUtf8(AppInfo::Title)));
    pass_ = new InspectPass(path_, this);
    model_ = new CommandTableModel(
        [pass = pass_](std::uint64_t first, std::uint64_t count) {
            return FetchRows(*pass, first, count);
        },
        this);
    CreateControls();
    connect(pass_, &InspectPass::Progress, this, &frmInspect::InspectPass_Progress);
    connect(pass_, &InspectPass::Finished, this, &frmInspect::InspectPass_Finished);
    lblSummary->setText(pass_->Summary());
    pass_->Start();
}

// The search and the pass are children: each stops and waits for its thread as it goes.
frmInspect::~frmInspect() = default;

void frmInspect::CreateControls() {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setTextFormat(Qt::PlainText);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSummary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSummary->setFont(fixed);
    // A file of many parts has a long summary: it scrolls rather than pushing the list away.
    scrSummary = new QScrollArea(this);
    scrSummary->setObjectName(QStringLiteral("scrSummary"));
    scrSummary->setWidget(lblSummary);
    scrSummary->setWidgetResizable(true);
    const int lines = QFontMetrics(fixed).lineSpacing();
    scrSummary->setMinimumHeight(7 * lines);
    scrSummary->setMaximumHeight(12 * lines);

    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(QStringLiteral("Command, tokens or words"));
    cmdFind = new QPushButton(QStringLiteral("&Find Next"), this);
    cmdFind->setObjectName(QStringLiteral("cmdFind"));
    cmdCopyToCodes = new QPushButton(QStringLiteral("&Copy to Codes"), this);
    cmdCopyToCodes->setObjectName(QStringLiteral("cmdCopyToCodes"));
    cmdCopyToCodes->setToolTip(QStringLiteral("Put the selected command's bytes in the code box"));
    cmdCopyToCodes->setEnabled(false);

    CreateList();

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(txtFind, 1);
    findRow->addWidget(cmdFind);
    findRow->addWidget(cmdCopyToCodes);
    auto* listRow = new QHBoxLayout;
    listRow->setSpacing(0);
    listRow->addWidget(lstCommands, 1);
    listRow->addWidget(scrCommands);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scrSummary);
    layout->addLayout(findRow);
    layout->addLayout(listRow, 1);
    layout->addWidget(lblStatus);
    resize(980, 640);

    connect(cmdFind, &QPushButton::clicked, this, &frmInspect::cmdFind_Click);
    connect(txtFind, &QLineEdit::returnPressed, this, &frmInspect::cmdFind_Click);
    connect(cmdCopyToCodes, &QPushButton::clicked, this, &frmInspect::cmdCopyToCodes_Click);
    connect(lstCommands->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmInspect::lstCommands_SelectionChanged);
    connect(scrCommands, &QScrollBar::valueChanged, this, &frmInspect::scrCommands_Change);
}

void frmInspect::CreateList() {
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lstCommands = new QTableView(this);
    lstCommands->setObjectName(QStringLiteral("lstCommands"));
    lstCommands->setModel(model_);
    lstCommands->setFont(fixed);
    lstCommands->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstCommands->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCommands->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstCommands->setWordWrap(false);
    // The page stays put: scrCommands alone moves it, never the view's own scrolling to a
    // row clicked at its foot.
    lstCommands->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstCommands->setAutoScroll(false);
    QHeaderView* rows = lstCommands->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(fixed).height() + 4);
    lstCommands->horizontalHeader()->setStretchLastSection(true);
    for (const ColumnWidth& column : ColumnWidths) {
        lstCommands->setColumnWidth(column.column, column.width);
    }
    // The wheel, the keys that move the selection and a new size go to the page.
    lstCommands->installEventFilter(this);
    lstCommands->viewport()->installEventFilter(this);

    scrCommands = new QScrollBar(Qt::Vertical, this);
    scrCommands->setObjectName(QStringLiteral("scrCommands"));
    scrCommands->setRange(0, 0);
}

int frmInspect::PageRows() const {
    const int rowHeight = lstCommands->verticalHeader()->defaultSectionSize();
    return std::max(1, lstCommands->viewport()->height() / rowHeight + 1);
}

void frmInspect::ShowPage() {
    const int page = PageRows();
    // A view counts in int; rows past that are not shown.
    const int total =
        static_cast<int>(std::min<std::uint64_t>(model_->Total(), std::numeric_limits<int>::max()));
    // The last row whole at the foot of the list at the bar's end.
    scrCommands->setRange(0, std::max(0, total - std::max(1, page - 1)));
    scrCommands->setPageStep(std::max(1, page - 1));
    model_->ShowPage(static_cast<std::uint64_t>(scrCommands->value()), page);
    ShowSelection();
}

void frmInspect::scrCommands_Change(int value) {
    model_->ShowPage(static_cast<std::uint64_t>(value), PageRows());
    ShowSelection();
}

void frmInspect::ShowSelection() {
    showingSelection_ = true;
    const qint64 row = selected_ - static_cast<qint64>(model_->First());
    if (selected_ >= 0 && row >= 0 && row < model_->rowCount()) {
        lstCommands->selectionModel()->setCurrentIndex(model_->index(static_cast<int>(row), 0),
                                                       QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
    } else {
        lstCommands->selectionModel()->clearSelection();
    }
    showingSelection_ = false;
    cmdCopyToCodes->setEnabled(selected_ >= 0);
}

bool frmInspect::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstCommands->viewport()) {
        if (event->type() == QEvent::Wheel) {
            QCoreApplication::sendEvent(scrCommands, event);
            return true;
        }
        if (event->type() == QEvent::Resize) {
            ShowPage();
        }
    } else if (watched == lstCommands && event->type() == QEvent::KeyPress) {
        return MoveSelection(static_cast<QKeyEvent*>(event)->key());
    }
    return QWidget::eventFilter(watched, event);
}

bool frmInspect::MoveSelection(int key) {
    const auto total = static_cast<qint64>(model_->Total());
    const qint64 step = std::max(1, PageRows() - 1);
    const qint64 from = selected_ >= 0 ? selected_ : static_cast<qint64>(model_->First()) - 1;
    qint64 to = 0;
    switch (key) {
    case Qt::Key_Up:
        to = from - 1;
        break;
    case Qt::Key_Down:
        to = from + 1;
        break;
    case Qt::Key_PageUp:
        to = from - step;
        break;
    case Qt::Key_PageDown:
        to = from + step;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = total - 1;
        break;
    default:
        return false;
    }
    if (total > 0) {
        SelectRow(std::clamp<qint64>(to, 0, total - 1));
    }
    return true;
}

void frmInspect::closeEvent(QCloseEvent* event) {
    pass_->Stop();
    if (search_ != nullptr) {
        search_->Stop();
    }
    QWidget::closeEvent(event);
}

void frmInspect::SelectRow(qint64 row) {
    selected_ = row;
    const auto first = static_cast<qint64>(model_->First());
    const int whole = std::max(1, PageRows() - 1);
    if (row >= 0 && (row < first || row >= first + whole)) {
        // Brought to the middle of the list, as a found row is.
        scrCommands->setValue(static_cast<int>(std::max<qint64>(0, row - whole / 2)));
    }
    ShowSelection();
}

void frmInspect::ShowStatus(const QString& text) {
    lblStatus->setText(text);
}

void frmInspect::InspectPass_Progress(std::uint64_t rows, std::uint64_t) {
    model_->SetTotal(rows);
    ShowPage();
    lblSummary->setText(pass_->Summary());
}

void frmInspect::InspectPass_Finished(std::uint64_t rows, const QString& error) {
    model_->SetTotal(rows);
    ShowPage();
    QString summary = pass_->Summary();
    if (!error.isEmpty()) {
        summary += QStringLiteral("\nThe file was read no further: %1").arg(error);
    }
    lblSummary->setText(summary);
}

// Find again while one goes stops it.
void frmInspect::cmdFind_Click() {
    if (search_ != nullptr) {
        search_->Stop();
        return;
    }
    searched_ = txtFind->text();
    if (searched_.isEmpty()) {
        ShowStatus(QStringLiteral("Type a command, tokens or words to find."));
        return;
    }
    const auto first = static_cast<std::uint64_t>(SelectedRow() + 1);
    search_ =
        new CommandSearch(path_, pass_->From(first, std::numeric_limits<std::uint64_t>::max()),
                          first, searched_, this);
    connect(search_, &CommandSearch::Finished, this, &frmInspect::CommandSearch_Finished);
    cmdFind->setText(QStringLiteral("&Stop"));
    ShowStatus(QStringLiteral("Finding \"%1\"...").arg(searched_));
    search_->Start();
}

void frmInspect::CommandSearch_Finished(qint64 row, const QString& error) {
    search_->deleteLater();
    search_ = nullptr;
    cmdFind->setText(QStringLiteral("&Find Next"));
    if (row >= 0 && static_cast<std::uint64_t>(row) < model_->Total()) {
        SelectRow(row);
        ShowStatus(QStringLiteral("Found \"%1\" in row %2.").arg(searched_).arg(row + 1));
    } else if (error == QLatin1String("stopped")) {
        ShowStatus(QStringLiteral("Find stopped."));
    } else if (!error.isEmpty()) {
        ShowStatus(QStringLiteral("Find ended: %1").arg(error));
    } else {
        ShowStatus(QStringLiteral("\"%1\" not found.").arg(searched_));
    }
}

// The user's click; the page's own changes of selection are not the user's.
void frmInspect::lstCommands_SelectionChanged() {
    if (showingSelection_) {
        return;
    }
    const QModelIndexList rows = lstCommands->selectionModel()->selectedRows();
    selected_ = rows.isEmpty() ? -1 : static_cast<qint64>(model_->First()) + rows.first().row();
    cmdCopyToCodes->setEnabled(selected_ >= 0);
}

void frmInspect::cmdCopyToCodes_Click() {
    const qint64 row = SelectedRow();
    const DecodedCommand* command =
        row < 0 ? nullptr : model_->Command(static_cast<std::uint64_t>(row));
    if (command == nullptr) {
        ShowStatus(QStringLiteral("Select a command to copy."));
        return;
    }
    if (command->length > CopyLimit) {
        ShowStatus(QStringLiteral("Not copied: the command is %1 bytes long, and the code box "
                                  "takes at most %2.")
                       .arg(command->length)
                       .arg(CopyLimit));
        return;
    }
    std::string bytes;
    QString error;
    const std::uint64_t length = command->length;
    if (!CommandBytes(command->offset, length, bytes, error)) {
        ShowStatus(QStringLiteral("Not copied: %1").arg(error));
        return;
    }
    toCodes_(modTools::BytesToNotation(bytes));
    ShowStatus(QStringLiteral("%1 bytes copied to the code box.").arg(length));
}

bool frmInspect::CommandBytes(std::uint64_t offset, std::uint64_t length, std::string& bytes,
                              QString& error) const {
    try {
        modTools::RequireRegularFile(path_);
        FileReader file(path_);
        file.Seek(offset);
        bytes.resize(static_cast<std::size_t>(length));
        if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
            error = ChangedText;
            return false;
        }
        return true;
    } catch (const FileError& failure) {
        error = QString::fromStdString(SafeText(failure.what(), 4096));
        return false;
    }
}
