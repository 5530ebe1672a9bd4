#include "ui/dialogs/frm_printer_address.h"

#include "app_info.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString Prompt = QStringLiteral(
    "Printer address (socket://HOST[:PORT], lpd://HOST[:PORT]/QUEUE, ipp://HOST[:PORT]/PATH, "
    "ipps://HOST[:PORT]/PATH, file:DEVICE or serial:DEVICE?baud=N):");
// An address that is not there yet is no fault; the line says what is wanted.
const QString EmptyCheck = QStringLiteral("Type the printer's address.");

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

    auto* column = new QVBoxLayout(this);
    column->addWidget(lblAddress);
    column->addWidget(txtAddress);
    column->addWidget(lblCheck);
    column->addWidget(buttons_);
    setMinimumWidth(420);

    connect(txtAddress, &QLineEdit::textChanged, this, &frmPrinterAddress::txtAddress_Change);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    txtAddress->setFocus();
}

// Blanks around a pasted address are no part of it.
void frmPrinterAddress::txtAddress_Change() {
    const std::string text = txtAddress->text().trimmed().toStdString();
    address_.reset();
    if (text.empty()) {
        lblCheck->setText(EmptyCheck);
    } else {
        ParsedPrinterAddress parsed = PrinterAddress::Parse(text);
        address_ = parsed.address;
        lblCheck->setText(QString::fromStdString(address_ ? address_->Text() : parsed.error));
    }
    cmdOK->setEnabled(address_.has_value());
}
