#pragma once

#include "printing/address/printer_address.h"

#include <QDialog>
#include <QString>
#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the address of a printer reached directly (socket://, lpd://, ipp://, ipps://,
// file:, serial:). The address is checked as it is typed: the line under it names the
// fault, or shows the address written out in full, and OK is enabled only for a valid one.
// A printer that talks back (socket, file, serial) takes the language it is asked about its
// state in; a language written in the address is shown as the one chosen.
class frmPrinterAddress final : public QDialog {
    Q_OBJECT
public:
    explicit frmPrinterAddress(QWidget* parent = nullptr);

    // The address typed, with the language chosen, once it is valid.
    const std::optional<PrinterAddress>& Address() const { return address_; }

private slots:
    void txtAddress_Change();
    void cmbLanguage_Click();

private:
    // The language choice follows the address typed: enabled where it applies, and showing
    // the language the text names.
    void ShowLanguageOf(const std::optional<PrinterAddress>& typed);
    PrinterLanguage ChosenLanguage() const;
    void SelectLanguage(PrinterLanguage language);
    // The address with the chosen language, in full, or why the text is none.
    void ShowAddress();

    QLabel* lblAddress = nullptr;
    QLineEdit* txtAddress = nullptr;
    QLabel* lblLanguage = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QLabel* lblCheck = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The address as typed, or why the text is none.
    std::optional<PrinterAddress> typed_;
    QString fault_;
    // The choice shows the language the text names; it goes back to Automatic once the
    // text names none.
    bool languageFromText_ = false;
    std::optional<PrinterAddress> address_;
};
