#include "ui/dialogs/frm_find_printers.h"

#include "app_info.h"
#include "core/safe_text.h"
#include "printing/discovery/printer_finder.h"
#include "ui/dialogs/found_printer.h"
#include "ui/dialogs/printer_search.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace {

const QString SearchingText = QStringLiteral("Searching for printers...");
const QString SearchingFoundText = QStringLiteral("Searching for printers... %1 found so far");

// The columns, in order: what each shows of a printer.
struct Column {
    const char* title;
    int width;
};
constexpr std::array<Column, 6> Columns{{{"Address", 280},
                                         {"Name", 150},
                                         {"Model", 150},
                                         {"Languages", 110},
                                         {"Location", 100},
                                         {"Found by", 90}}};

// What printers and their networks say comes from outside: shown through the one rule for
// such text, a name cut where it would no longer fit any table.
QString Shown(const std::string& text) {
    return QString::fromStdString(SafeText(text));
}

QString Joined(const std::vector<std::string>& parts) {
    QStringList shown;
    for (const std::string& part : parts) {
        shown << Shown(part);
    }
    return shown.join(QStringLiteral(", "));
}

QString FoundText(std::size_t count) {
    if (count == 0) {
        return QStringLiteral("No printer found");
    }
    return count == 1 ? QStringLiteral("1 printer found")
                      : QStringLiteral("%1 printers found").arg(count);
}

// The row's tooltip: what the columns leave out.
QString Details(const DiscoveredPrinter& printer) {
    QStringList lines;
    if (!printer.problem.empty()) {
        lines << Shown(printer.problem);
    }
    for (const std::string& other : printer.otherAddresses) {
        lines << QStringLiteral("Also at %1").arg(Shown(other));
    }
    if (!printer.uuid.empty()) {
        lines << QStringLiteral("UUID %1").arg(Shown(printer.uuid));
    }
    return lines.join(u'\n');
}

// What Add would do with the printer: the printer it lists, or why it can't.
QString ChoiceText(const DiscoveredPrinter& printer) {
    const FoundPrinter::Choice choice = FoundPrinter::TargetOf(printer);
    if (!choice.target) {
        return Shown(choice.fault);
    }
    QString text = QStringLiteral("Add lists %1.").arg(Shown(choice.target->Name()));
    if (!printer.problem.empty()) {
        text += QStringLiteral(" ") + Shown(printer.problem);
    }
    return text;
}

} // namespace

frmFindPrinters::frmFindPrinters(MakeFinder makeFinder, std::chrono::milliseconds timeout,
                                 QWidget* parent)
    : QDialog(parent), makeFinder_(std::move(makeFinder)), timeout_(timeout) {
    setObjectName(QStringLiteral("frmFindPrinters"));
    setWindowTitle(QStringLiteral("Find Printers - %1").arg(QString::fromUtf8(AppInfo::Title)));
    setModal(true);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    // A busy bar: the sources say nothing of how far they are, only the time-out bounds them.
    prgSearch = new QProgressBar(this);
    prgSearch->setObjectName(QStringLiteral("prgSearch"));
    prgSearch->setRange(0, 0);
    prgSearch->setTextVisible(false);
    CreateTable();
    lblChoice = new QLabel(this);
    lblChoice->setObjectName(QStringLiteral("lblChoice"));
    lblChoice->setWordWrap(true);
    lblChoice->setTextFormat(Qt::PlainText);
    lblChoice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNotes = new QLabel(this);
    lblNotes->setObjectName(QStringLiteral("lblNotes"));
    lblNotes->setWordWrap(true);
    lblNotes->setTextFormat(Qt::PlainText);
    lblNotes->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNotes->hide();

    auto* buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttons"));
    cmdSearch = buttons->addButton(QStringLiteral("&Search Again"), QDialogButtonBox::ActionRole);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdAdd = buttons->addButton(QStringLiteral("&Add"), QDialogButtonBox::AcceptRole);
    cmdAdd->setObjectName(QStringLiteral("cmdAdd"));
    cmdAdd->setDefault(true);
    cmdClose = buttons->addButton(QDialogButtonBox::Close);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblStatus);
    column->addWidget(prgSearch);
    column->addWidget(grdPrinters);
    column->addWidget(lblChoice);
    column->addWidget(lblNotes);
    column->addWidget(buttons);

    // Add chooses, and closes the dialog only when it has chosen: the box's own signals are
    // left unheard.
    connect(cmdSearch, &QPushButton::clicked, this, &frmFindPrinters::cmdSearch_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmFindPrinters::cmdAdd_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(grdPrinters, &QTableWidget::itemSelectionChanged, this,
            &frmFindPrinters::grdPrinters_SelChange);
    connect(grdPrinters, &QTableWidget::cellDoubleClicked, this,
            &frmFindPrinters::grdPrinters_DblClick);
    StartSearch();
}

// The search stops with the dialog, and its thread is waited for before the rows it reports
// to go.
frmFindPrinters::~frmFindPrinters() {
    delete search_;
}

void frmFindPrinters::CreateTable() {
    grdPrinters = new QTableWidget(0, static_cast<int>(Columns.size()), this);
    grdPrinters->setObjectName(QStringLiteral("grdPrinters"));
    QStringList titles;
    for (std::size_t i = 0; i < Columns.size(); ++i) {
        titles << QString::fromLatin1(Columns[i].title);
        grdPrinters->setColumnWidth(static_cast<int>(i), Columns[i].width);
    }
    grdPrinters->setHorizontalHeaderLabels(titles);
    grdPrinters->horizontalHeader()->setStretchLastSection(true);
    grdPrinters->verticalHeader()->hide();
    grdPrinters->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPrinters->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPrinters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPrinters->setWordWrap(false);
    grdPrinters->setMinimumSize(900, 280);
}

// The dialog closing mid-search stops it; the search's thread is waited for when the dialog
// goes, which the sources make soon after the stop.
void frmFindPrinters::done(int result) {
    if (search_ != nullptr) {
        search_->Stop();
    }
    QDialog::done(result);
}

void frmFindPrinters::StartSearch() {
    delete search_;
    search_ = new PrinterSearch(makeFinder_, timeout_, this);
    connect(search_, &PrinterSearch::Changed, this, &frmFindPrinters::Search_Changed);
    connect(search_, &PrinterSearch::Finished, this, &frmFindPrinters::Search_Finished);
    searching_ = true;
    lblStatus->setText(SearchingText);
    prgSearch->show();
    lblNotes->hide();
    cmdSearch->setEnabled(false);
    search_->Start();
}

void frmFindPrinters::cmdSearch_Click() {
    if (!searching_) {
        StartSearch();
    }
}

void frmFindPrinters::Search_Changed(const std::vector<DiscoveredPrinter>& printers) {
    ShowPrinters(printers);
    lblStatus->setText(SearchingFoundText.arg(printers.size()));
}

void frmFindPrinters::Search_Finished(const std::vector<DiscoveredPrinter>& printers,
                                      const std::vector<std::string>& notes) {
    searching_ = false;
    ShowPrinters(printers);
    lblStatus->setText(FoundText(printers.size()));
    prgSearch->hide();
    QStringList shown;
    for (const std::string& note : notes) {
        shown << QString::fromStdString(SafeText(note, WholeText));
    }
    lblNotes->setText(shown.join(u'\n'));
    lblNotes->setVisible(!shown.isEmpty());
    cmdSearch->setEnabled(true);
}

void frmFindPrinters::ShowPrinters(const std::vector<DiscoveredPrinter>& printers) {
    const int selected = SelectedRow();
    const std::string selectedAddress =
        selected >= 0 ? printers_[static_cast<std::size_t>(selected)].address : std::string();
    printers_ = printers;
    grdPrinters->setRowCount(static_cast<int>(printers_.size()));
    int reselect = -1;
    for (std::size_t row = 0; row < printers_.size(); ++row) {
        ShowRow(static_cast<int>(row), printers_[row]);
        if (selected >= 0 && printers_[row].address == selectedAddress) {
            reselect = static_cast<int>(row);
        }
    }
    if (reselect >= 0) {
        grdPrinters->selectRow(reselect);
    } else {
        grdPrinters->clearSelection();
    }
    grdPrinters_SelChange();
}

void frmFindPrinters::ShowRow(int row, const DiscoveredPrinter& printer) {
    const QString cells[] = {Shown(printer.address),  Shown(printer.name),
                             Shown(printer.model),    Joined(printer.languages),
                             Shown(printer.location), Joined(printer.foundBy)};
    const QString details = Details(printer);
    for (std::size_t column = 0; column < std::size(cells); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        // The cell in full, where the column cuts it, and what the columns leave out.
        item->setToolTip(details.isEmpty() ? cells[column]
                                           : cells[column] + QStringLiteral("\n") + details);
        grdPrinters->setItem(row, static_cast<int>(column), item);
    }
}

int frmFindPrinters::SelectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = grdPrinters->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

// Add is offered for a printer a job can go to; the line under the table says what it would
// list, or why it can't.
void frmFindPrinters::grdPrinters_SelChange() {
    const int row = SelectedRow();
    const bool any = row >= 0 && row < static_cast<int>(printers_.size());
    cmdAdd->setEnabled(any &&
                       FoundPrinter::TargetOf(printers_[static_cast<std::size_t>(row)]).target);
    lblChoice->setText(any ? ChoiceText(printers_[static_cast<std::size_t>(row)]) : QString());
}

void frmFindPrinters::grdPrinters_DblClick(int row) {
    Choose(row);
}

void frmFindPrinters::cmdAdd_Click() {
    Choose(SelectedRow());
}

void frmFindPrinters::Choose(int row) {
    if (row < 0 || row >= static_cast<int>(printers_.size())) {
        return;
    }
    chosen_ = FoundPrinter::TargetOf(printers_[static_cast<std::size_t>(row)]).target;
    if (chosen_) {
        accept();
    }
}
