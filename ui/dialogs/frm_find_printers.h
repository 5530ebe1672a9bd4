#pragma once

#include "printing/discovery/discovered_printer.h"
#include "printing/job/printer_target.h"

#include <QDialog>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class PrinterFinder;
class PrinterSearch;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

// Looks for the printers this computer can reach (on the network, on its ports, in the
// spooler) and lists them as they are found, with address, name, model, languages, location
// and how each was found, until the time-out; then says how many were found and which
// sources could not be searched, and why. The search runs on a thread of its own; closing the
// dialog stops it. Add (or a double click) chooses the selected printer and closes the dialog.
class frmFindPrinters final : public QDialog {
    Q_OBJECT
public:
    // Makes the finder for each search, on the searching thread.
    using MakeFinder = std::function<std::unique_ptr<PrinterFinder>()>;

    // Long enough for a network printer to answer DNS-SD, short enough to wait for.
    static constexpr std::chrono::seconds DefaultTimeout{5};

    explicit frmFindPrinters(MakeFinder makeFinder,
                             std::chrono::milliseconds timeout = DefaultTimeout,
                             QWidget* parent = nullptr);
    ~frmFindPrinters() override;

    // The printer chosen, once the dialog was accepted.
    const std::optional<PrinterTarget>& Chosen() const { return chosen_; }

    void done(int result) override;

private slots:
    void cmdSearch_Click();
    void cmdAdd_Click();
    void grdPrinters_SelChange();
    void grdPrinters_DblClick(int row);
    void Search_Changed(const std::vector<DiscoveredPrinter>& printers);
    void Search_Finished(const std::vector<DiscoveredPrinter>& printers,
                         const std::vector<std::string>& notes);

private:
    void CreateTable();
    void StartSearch();
    // Lists the printers anew, the selected one kept selected where it is still there.
    void ShowPrinters(const std::vector<DiscoveredPrinter>& printers);
    void ShowRow(int row, const DiscoveredPrinter& printer);
    int SelectedRow() const;
    void Choose(int row);

    MakeFinder makeFinder_;
    const std::chrono::milliseconds timeout_;
    // The search in progress or the last one; a child of the dialog, gone with it at the
    // latest.
    PrinterSearch* search_ = nullptr;
    bool searching_ = false;
    std::vector<DiscoveredPrinter> printers_;
    std::optional<PrinterTarget> chosen_;

    QLabel* lblStatus = nullptr;
    QProgressBar* prgSearch = nullptr;
    QTableWidget* grdPrinters = nullptr;
    QLabel* lblChoice = nullptr;
    QLabel* lblNotes = nullptr;
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdClose = nullptr;
};
