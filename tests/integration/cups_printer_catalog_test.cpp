#include "printing/printer_list.h"
#include "printing/queues/cups/cups_printer_catalog.h"
#include "tests/support/private_spooler.h"
#include "tests/support/recording_list.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <filesystem>
#include <thread>

namespace {

using PrivateSpooler::Admin;
using PrivateSpooler::DefaultQueue;
using PrivateSpooler::SecondQueue;

class CupsPrinterCatalogTest : public PrivateSpoolerTest {
protected:
    void TearDown() override {
        for (const std::string& queue : addedQueues_) {
            Admin("lpadmin -x " + queue);
        }
        Admin(std::string("lpadmin -d ") + DefaultQueue);
    }

    void AddQueue(const std::string& queue) {
        ASSERT_TRUE(Admin("lpadmin -p " + queue + " -E -m raw -v capture:" + dir + "/out"))
            << queue;
        addedQueues_.push_back(queue);
    }

    RecordingList Fill() {
        CupsPrinterCatalog catalog;
        RecordingList list;
        EXPECT_TRUE(modTools::FillPrinterList(catalog, list));
        return list;
    }

private:
    std::vector<std::string> addedQueues_;
};

TEST_F(CupsPrinterCatalogTest, QueuesInTheLibrarysOrderWithTheDefaultPreselected) {
    AddQueue("tm_zeta");
    AddQueue("TM_Alpha");
    AddQueue("tm_mid");
    const std::vector<std::string> expected = {"TM_Alpha", "tm_mid", "tm_zeta", DefaultQueue,
                                               SecondQueue};
    CupsPrinterCatalog catalog;
    EXPECT_EQ(catalog.PrinterNames(), expected);
    EXPECT_EQ(catalog.DefaultPrinterName(), DefaultQueue);
    const RecordingList list = Fill();
    EXPECT_EQ(list.items, expected);
    EXPECT_EQ(list.Selected(), DefaultQueue);
}

TEST_F(CupsPrinterCatalogTest, DefaultFollowsTheSchedulerThenPrinterThenLpdest) {
    const ScopedEnvironment noLpdest("LPDEST", nullptr);
    const ScopedEnvironment noPrinter("PRINTER", nullptr);
    AddQueue("tm_third");
    ASSERT_TRUE(Admin(std::string("lpadmin -d ") + SecondQueue));
    EXPECT_EQ(Fill().Selected(), SecondQueue);
    {
        const ScopedEnvironment printer("PRINTER", "tm_third");
        EXPECT_EQ(Fill().Selected(), "tm_third");
        const ScopedEnvironment lpdest("LPDEST", DefaultQueue);
        EXPECT_EQ(Fill().Selected(), DefaultQueue);
    }
    // A default that names no queue leaves the first printer selected.
    const ScopedEnvironment lpdest("LPDEST", "No_Such_Queue");
    CupsPrinterCatalog catalog;
    EXPECT_EQ(catalog.DefaultPrinterName(), "");
    EXPECT_EQ(Fill().index, 0);
}

// The library reads HOME once per thread, so the lpoptions of another home are read on a
// fresh thread.
TEST_F(CupsPrinterCatalogTest, LpoptionsInstancesAreNotListedButADefaultOneSelectsItsQueue) {
    TempDir home;
    std::filesystem::create_directories(home.Path() / ".cups");
    WriteBytes(home.File(".cups/lpoptions"), std::string("Dest ") + SecondQueue +
                                                 "/labels media=a6\n"
                                                 "Default " +
                                                 SecondQueue + "/labels\n");
    const ScopedEnvironment homeSetting("HOME", home.Path().c_str());
    const ScopedEnvironment noLpdest("LPDEST", nullptr);
    const ScopedEnvironment noPrinter("PRINTER", nullptr);
    std::vector<std::string> names;
    std::string defaultName;
    std::thread([&] {
        CupsPrinterCatalog catalog;
        names = catalog.PrinterNames();
        defaultName = catalog.DefaultPrinterName();
    }).join();
    EXPECT_EQ(names, (std::vector<std::string>{DefaultQueue, SecondQueue}));
    EXPECT_EQ(defaultName, SecondQueue);
}

TEST_F(CupsPrinterCatalogTest, NoSchedulerIsAnErrorAndFailsTheFillQuickly) {
    const std::string nowhere = dir + "/nobody-listens.sock";
    cupsSetServer(nowhere.c_str());
    CupsPrinterCatalog catalog;
    std::string why;
    try {
        catalog.PrinterNames();
    } catch (const PrinterCatalogError& error) {
        why = error.what();
    }
    EXPECT_THROW(catalog.DefaultPrinterName(), PrinterCatalogError);
    RecordingList list;
    const auto started = std::chrono::steady_clock::now();
    const bool filled = modTools::FillPrinterList(catalog, list);
    const auto took = std::chrono::steady_clock::now() - started;
    cupsSetServer((dir + "/cups.sock").c_str());

    EXPECT_NE(why.find(nowhere), std::string::npos) << why;
    EXPECT_FALSE(filled);
    EXPECT_EQ(list.index, -1);
    // Milliseconds in fact; the bound only tells a quick failure from a hang on a busy machine.
    EXPECT_LT(took, std::chrono::seconds(5));
}

// A scheduler without any queue answers "not found": that is an empty list, not an error.
// It needs a scheduler of its own, so as not to take the shared one's queues away.
TEST_F(CupsPrinterCatalogTest, SchedulerWithoutQueuesGivesOnlyThePlaceholder) {
    TempDir empty;
    const std::string spooler = TOLVENMARK_TEST_SPOOLER;
    ASSERT_EQ(
        std::system((spooler + " start " + empty.Path().string() + " Only >/dev/null").c_str()), 0);
    struct Stop {
        std::string command;
        ~Stop() { [[maybe_unused]] const int ignored = std::system(command.c_str()); }
    } stop{spooler + " stop " + empty.Path().string()};
    const std::string socket = empty.File("cups.sock");
    ASSERT_EQ(
        std::system(("PATH=\"$PATH:/usr/sbin:/sbin\" lpadmin -h " + socket + " -x Only").c_str()),
        0);

    cupsSetServer(socket.c_str());
    CupsPrinterCatalog catalog;
    std::vector<std::string> names = {"unread"};
    EXPECT_NO_THROW(names = catalog.PrinterNames());
    RecordingList list;
    const bool filled = modTools::FillPrinterList(catalog, list);
    cupsSetServer((dir + "/cups.sock").c_str());

    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(filled);
    EXPECT_EQ(list.items, std::vector<std::string>{modTools::NoPrinterEntry});
    EXPECT_EQ(list.index, -1);
}

} // namespace
