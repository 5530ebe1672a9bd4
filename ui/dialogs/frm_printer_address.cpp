#include "ui/dialogs/frm_printer_address.h"

#include "app_info.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <array>

namespace {

const QString Prompt = QStringLiteral(
    "Printer address (socket://HOST[:PORT], lpd://HOST[:PORT]/QUEUE, ipp://HOST[:PORT]/PATH, "
    "ipps://HOST[:PORT]/PATH, file:DEVICE or serial:DEVICE?baud=N):");
// An address that is not there yet is no fault; the line says what is wanted.
const QString EmptyCheck = QStringLiteral("Type the printer's address.");

// The choices, in the order offered.
constexpr std::array<PrinterLanguage, 5> Languages{PrinterLanguage::Automatic,
                                                   PrinterLanguage::EscPos, PrinterLanguage::Zpl,
                                                   PrinterLanguage::Pjl, PrinterLanguage::None};

// The printers whose replies come back the way their jobs go: only they are asked about
// their state in a language.
bool TakesLanguage(PrinterAddress::Scheme scheme) {
    using Scheme = PrinterAddress::Scheme;
    return scheme == Scheme::Socket || scheme == Scheme::File || scheme == Scheme::Serial;
}

} // namespace

frmPrinterAddress::frmPrinterAddress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmPrinterAddress"));
    setWindowTitle(QString::fromUtf8(AppInfo::Title));
    setModal(true);

    lblAddress = new QLabel(Prompt, this);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setWordWrap(true);

    txtAddress = new QLineEdit(this);
    txtAddress->setObjectName(QStringLiteral("txtAddress"));
    lblAddress->setBuddy(txtAddress);

    lblLanguage = new QLabel(QStringLiteral("Printer &language:"), this);
    lblLanguage->setObjectName(QStringLiteral("lblLanguage"));
    cmbLanguage = new QComboBox(this);
    cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    for (const PrinterLanguage language : Languages) {
        cmbLanguage->addItem(
            QString::fromStdString(std::string(PrinterLanguageName::TitleOf(language))),
            static_cast<int>(language));
    }
    cmbLanguage->setEnabled(false);
    lblLanguage->setBuddy(cmbLanguage);

    lblCheck = new QLabel(EmptyCheck, this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);
    lblCheck->setTextFormat(Qt::PlainText);
    lblCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);

    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->setObjectName(QStringLiteral("buttons"));
    cmdOK = buttons_->button(QDialogButtonBox::Ok);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setEnabled(false);
    cmdCancel = buttons_->button(QDialogButtonBox::Cancel);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* languageRow = new QHBoxLayout;
    languageRow->addWidget(lblLanguage);
    languageRow->addWidget(cmbLanguage);
    languageRow->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addWidget(lblAddress);
    column->addWidget(txtAddress);
    column->addLayout(languageRow);
    column->addWidget(lblCheck);
    column->addWidget(buttons_);
    setMinimumWidth(420);

    connect(txtAddress, &QLineEdit::textChanged, this, &frmPrinterAddress::txtAddress_Change);
    connect(cmbLanguage, &QComboBox::currentIndexChanged, this,
            &frmPrinterAddress::cmbLanguage_Click);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    txtAddress->setFocus();
}

// Blanks around a pasted address are no part of it.
void frmPrinterAddress::txtAddress_Change() {
    const std::string text = txtAddress->text().trimmed().toStdString();
    typed_.reset();
    fault_ = EmptyCheck;
    if (!text.empty()) {
        ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
        typed_ = std::move(parsed.address);
        fault_ = QString::fromStdString(parsed.error);
    }
    ShowLanguageOf(typed_);
    ShowAddress();
}

void frmPrinterAddress::cmbLanguage_Click() {
    ShowAddress();
}

void frmPrinterAddress::ShowLanguageOf(const std::optional<PrinterAddress>& typed) {
    cmbLanguage->setEnabled(typed && TakesLanguage(typed->scheme()));
    if (typed && typed->language() != PrinterLanguage::Automatic) {
        SelectLanguage(typed->language());
        languageFromText_ = true;
    } else if (typed && languageFromText_) {
        SelectLanguage(PrinterLanguage::Automatic);
        languageFromText_ = false;
    }
}

PrinterLanguage frmPrinterAddress::ChosenLanguage() const {
    return static_cast<PrinterLanguage>(cmbLanguage->currentData().toInt());
}

void frmPrinterAddress::SelectLanguage(PrinterLanguage language) {
    const QSignalBlocker quiet(cmbLanguage);
    cmbLanguage->setCurrentIndex(cmbLanguage->findData(static_cast<int>(language)));
}

void frmPrinterAddress::ShowAddress() {
    address_.reset();
    if (typed_) {
        address_ =
            TakesLanguage(typed_->scheme()) ? typed_->WithLanguage(ChosenLanguage()) : *typed_;
    }
    lblCheck->setText(address_ ? QString::fromStdString(address_->Text()) : fault_);
    cmdOK->setEnabled(address_.has_value());
}
