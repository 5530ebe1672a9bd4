#pragma once

#include "tests/support/fake_desktop.h"
#include "tests/support/fake_job_monitor.h"
#include "tests/support/fake_printer_catalog.h"
#include "tests/support/recording_printers.h"
#include "tests/support/temp_dir.h"
#include "ui/main/frm_main.h"
#include "ui/main/remembered_printers.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

// Processes events until the condition holds or the time is up; true when it held.
template <typename Condition> bool WaitUntil(Condition condition, int milliseconds = 3000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > milliseconds) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// A main window built on the scripted desktop, recording printers and a catalog the test
// fills. The printers it remembers are kept in a store of the test's own, never the user's.
class MainWindowTest : public testing::Test {
protected:
    FakeDesktop desktop;
    RecordingPrinters printers;
    FakePrinterCatalog catalog;
    FakeJobMonitor monitor;
    TempDir settingsFolder;
    RememberedPrinters remembered{QString::fromStdString(settingsFolder.File("Tolvenmark.conf"))};
    // The printers the window sends its jobs to; the recording ones unless a test wraps them.
    PrinterAccess* jobs = &printers;
    std::unique_ptr<frmMain> window;

    // A question the window's follower still waits on is answered, so the window can go.
    ~MainWindowTest() override {
        monitor.Close();
        window.reset();
    }

    void Create() {
        window = std::make_unique<frmMain>(desktop, *jobs, catalog, monitor);
        window->SetRememberedPrinters(&remembered);
    }

    // Clicks Print and waits until the run is over: the button reads Print again.
    bool PrintAndWait() { return ClickAndWait("cmdPrint"); }
    // Clicks Send and waits until its job is over: Send is enabled again.
    bool SendAndWait() { return ClickAndWait("cmdSend"); }

    // A direct printer is asked first: the run starts, or not, once it answered. Until then
    // both buttons wait; while the run goes, Print reads Stop.
    bool ClickAndWait(const char* button) {
        QPushButton* print = Find<QPushButton>("cmdPrint");
        QPushButton* send = Find<QPushButton>("cmdSend");
        Find<QPushButton>(button)->click();
        return WaitUntil(
            [print, send] {
                return print->text() == "Print" && print->isEnabled() && send->isEnabled();
            },
            30000);
    }

    // Builds, loads and shows the window, as the program does at start.
    void Start() {
        Create();
        window->Load();
        window->show();
    }

    template <typename T> T* Find(const char* name) const {
        T* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
};
