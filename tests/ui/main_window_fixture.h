#pragma once

#include "tests/support/fake_desktop.h"
#include "tests/support/fake_printer_catalog.h"
#include "tests/support/recording_spooler.h"
#include "ui/main/frm_main.h"

#include <QApplication>
#include <QElapsedTimer>
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

// A main window built on the scripted desktop, a recording spooler and a catalog the
// test fills.
class MainWindowTest : public testing::Test {
protected:
    FakeDesktop desktop;
    RecordingSpooler spooler;
    FakePrinterCatalog catalog;
    // The spooler the window sends its jobs to; the recording one unless a test wraps it.
    Spooler* jobs = &spooler;
    std::unique_ptr<frmMain> window;

    void Create() { window = std::make_unique<frmMain>(desktop, *jobs, catalog); }

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
