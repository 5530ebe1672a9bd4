#pragma once

#include "printing/address/printer_address.h"

#include <QDialog>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the address of a printer reached directly (socket://, lpd://, ipp://, ipps://,
// file:, serial:). The address is checked as it is typed: the line under it names the
// fault, or shows the address written out in full, and OK is enabled only for a valid one.
class frmPrinterAddress final : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinterAddress(QWidget* parent = nullptr);

    // The address typed, once it is valid.
    const std::optional<PrinterAddress>& Address() const { return address_; }

private slots:
    void txtAddress_Change();

private:
    QLabel* lblAddress = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLabel* lblCheck = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    std::optional<PrinterAddress> address_;
};
