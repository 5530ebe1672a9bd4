// What a printer reached by its address says of itself, in the main window: the status bar,
// the question before a run, Properties, and the language chosen in the address dialog.
#include "tests/support/temp_dir.h"
#include "tests/ui/main_window_fixture.h"
#include "ui/code_box/code_box.h"
#include "ui/dialogs/frm_printer_address.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>

namespace {

using Condition = StatusReport::Condition;

const QString MakerLine = "Zelby ICT Services";
const std::string Zebra = "socket://127.0.0.1:9100?language=zpl";
const std::string Device = "file:/dev/usb/lp0";
const std::string NoLanguage = "its language is not known, so it was asked nothing in any "
                               "language (a query in a language it does not speak would print)";

PrinterAnswer Told(std::vector<Condition> conditions, std::string description = {}) {
    PrinterAnswer answer;
    answer.told = true;
    answer.state.conditions = std::move(conditions);
    answer.language = PrinterLanguage::Zpl;
    answer.sources = {"ZPL"};
    answer.description = std::move(description);
    return answer;
}

PrinterAnswer Silent(std::string note) {
    PrinterAnswer answer;
    answer.notes = {std::move(note)};
    return answer;
}

PrinterAddress Address(const std::string& text) {
    return *PrinterAddress::Parse(text).address;
}

// Printers that answer each one its own way, set before the window asks, and keep the names
// asked about; a question may be held until the test lets it go.
class PrinterStateTest : public MainWindowTest {
protected:
    std::map<std::string, PrinterAnswer> answers;

    void SetUp() override {
        catalog.names = {"Office"};
        // A direct printer's job is not followed, as the platform's monitor does not.
        monitor.follows = false;
        printers.answering = [this](const PrinterTarget& printer) {
            std::unique_lock lock(mutex_);
            asked_.push_back(printer.Name());
            changed_.wait(lock, [&] { return held_.count(printer.Name()) == 0; });
            const auto found = answers.find(printer.Name());
            return found == answers.end() ? PrinterAnswer() : found->second;
        };
    }
    // A question still held goes on, so that the window can go.
    void TearDown() override { Release(); }

    void Hold(const std::string& printer) {
        const std::lock_guard lock(mutex_);
        held_.insert(printer);
    }
    // Lets the printer's question go, or every one held.
    void Release(const std::string& printer = {}) {
        {
            const std::lock_guard lock(mutex_);
            printer.empty() ? held_.clear() : void(held_.erase(printer));
        }
        changed_.notify_all();
    }
    std::vector<std::string> Asked() {
        const std::lock_guard lock(mutex_);
        return asked_;
    }
    bool WaitForAsks(std::size_t count) {
        return WaitUntil([&] { return Asked().size() >= count; }, 30000);
    }
    bool StatusBecomes(const QString& text) const {
        return WaitUntil([&] { return Status()->text() == text; }, 30000);
    }

    QLabel* Status() const { return Find<QLabel>("Panel1"); }
    void Select(const std::string& printer) const {
        auto* list = Find<QComboBox>("cmbPrinter");
        list->setCurrentIndex(list->findText(QString::fromStdString(printer)));
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<std::string> held_;
    std::vector<std::string> asked_;
};

// The selected direct printer is asked, and its answer shown, when it is selected. A queue is
// never asked, and shows nothing of a direct printer's state.
TEST_F(PrinterStateTest, StatusBarSaysWhatTheSelectedDirectPrinterSaid) {
    answers = {{Zebra, Told({Condition::PaperOut})}, {Device, Silent(NoLanguage)}};
    Start();
    window->AddPrinterAddresses({Address(Device), Address(Zebra)});
    const struct {
        std::string printer;
        QString shown;
        QString tip;
    } cases[] = {
        {Zebra, "socket://127.0.0.1:9100?language=zpl: paper out (ZPL)", ""},
        {Device,
         "file:/dev/usb/lp0: its language is not known, so it was asked nothing in any language",
         QString::fromStdString(NoLanguage)},
        {"Office", MakerLine, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printer);
        Select(c.printer);
        EXPECT_TRUE(StatusBecomes(c.shown)) << Status()->text().toStdString();
        EXPECT_EQ(Status()->toolTip(), c.tip);
    }
    const std::vector<std::string> asked = Asked();
    EXPECT_EQ(std::count(asked.begin(), asked.end(), "Office"), 0);
}

// An answer about the printer selected before is no news once another is selected: it comes
// in while the next one waits for its own question, which goes only after it (and is held
// here, so that nothing else is shown meanwhile).
TEST_F(PrinterStateTest, AnswerAboutAPrinterNoLongerSelectedIsDropped) {
    answers = {{Zebra, Told({Condition::PaperOut})}};
    Start();
    Hold(Zebra);
    Hold(Device);
    window->AddPrinterAddresses({Address(Zebra), Address(Device)});
    ASSERT_TRUE(WaitForAsks(1));
    Select(Device);
    Release(Zebra);
    ASSERT_TRUE(WaitForAsks(2));
    EXPECT_EQ(Asked()[1], Device);
    EXPECT_EQ(Status()->text().toStdString(), MakerLine.toStdString());
}

// A run to a printer reporting paper out or an open cover waits for the user's word: No
// sends nothing, Yes sends. A printer that told nothing is sent to without a question.
TEST_F(PrinterStateTest, RunToAPrinterInTroubleGoesOnlyAtTheUsersWord) {
    TempDir folder;
    const std::string file = folder.File("label.zpl");
    WriteBytes(file, "^XA^XZ");
    const struct {
        PrinterAnswer answer;
        const char* button;
        MessageAnswer reply;
        QString question;
        bool sent;
    } cases[] = {
        {Told({Condition::PaperOut}), "cmdSend", MessageAnswer::No,
         "socket://127.0.0.1:9100?language=zpl reports paper out. Send anyway?", false},
        {Told({Condition::CoverOpen, Condition::PaperNearEnd}), "cmdPrint", MessageAnswer::Yes,
         "socket://127.0.0.1:9100?language=zpl reports head open, paper near end. Send anyway?",
         true},
        {Silent(NoLanguage), "cmdSend", MessageAnswer::No, "", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button + std::string(" ") + c.question.toStdString());
        window.reset();
        answers = {{Zebra, c.answer}};
        desktop.messages.clear();
        desktop.messageAnswers = {c.reply};
        Start();
        window->AddPrinterAddresses({Address(Zebra)});
        window->AddFiles({file});
        Find<CodeBox>("txtCodes")->SetText("Hi");
        const std::size_t written = printers.Written().size();
        ASSERT_TRUE(ClickAndWait(c.button));
        ASSERT_EQ(desktop.messages.size(), c.question.isEmpty() ? 0u : 1u);
        if (!c.question.isEmpty()) {
            EXPECT_EQ(desktop.messages[0].text, c.question);
            EXPECT_EQ(desktop.messages[0].buttons, MessageButtons::YesNo);
        }
        EXPECT_EQ(printers.Written().size() > written, c.sent);
    }
}

// Properties asks the printer first and shows what it said; a network printer's own web page
// is opened at the user's word.
TEST_F(PrinterStateTest, PropertiesShowWhatThePrinterSaidAndOfferItsPage) {
    answers = {{Zebra, Told({Condition::PaperOut}, "Zebra ZD420")}, {Device, Silent(NoLanguage)}};
    Start();
    const struct {
        std::string printer;
        QString shown;
        MessageButtons buttons;
    } cases[] = {
        {Zebra,
         "socket://127.0.0.1:9100?language=zpl\nLanguage: ZPL\nState: paper out (ZPL)\n"
         "Description: Zebra ZD420\n\nOpen its web page, http://127.0.0.1/?",
         MessageButtons::YesNo},
        {Device,
         "file:/dev/usb/lp0\nLanguage: Automatic\nState: not told: " +
             QString::fromStdString(NoLanguage) +
             "\n\nIt is a device of this computer: it has no settings page.",
         MessageButtons::Ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printer);
        const std::size_t shown = desktop.messages.size();
        window->AddPrinterAddresses({Address(c.printer)});
        Find<QPushButton>("cmdProp")->click();
        ASSERT_TRUE(WaitUntil([&] { return desktop.messages.size() > shown; }, 30000));
        EXPECT_EQ(desktop.messages.back().text, c.shown);
        EXPECT_EQ(desktop.messages.back().buttons, c.buttons);
    }
    EXPECT_EQ(desktop.openedWebAddresses, std::vector<QString>{"http://127.0.0.1/"});
    EXPECT_TRUE(catalog.settingsOpened.empty());
}

// The language choice applies to the printers that talk back, shows the language the text
// names, and goes into the address.
TEST(PrinterAddressDialogTest, LanguageChoiceFollowsTheAddressAndGoesIntoIt) {
    const struct {
        const char* typed;
        const char* chosen; // nothing to leave the choice as it is
        bool enabled;
        QString shown;
        QString address;
    } cases[] = {
        {"socket://h", "ZPL", true, "ZPL", "socket://h:9100?language=zpl"},
        {"file:/dev/usb/lp0?language=pjl", nullptr, true, "PJL", "file:/dev/usb/lp0?language=pjl"},
        {"serial:/dev/ttyS0?language=escpos", "None", true, "None",
         "serial:/dev/ttyS0?baud=9600+bits=8+parity=none+flow=none+language=none"},
        {"lpd://h/q", nullptr, false, "Automatic", "lpd://h:515/q"},
        {"socket://", nullptr, false, "Automatic", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        frmPrinterAddress dialog;
        auto* language = dialog.findChild<QComboBox*>("cmbLanguage");
        ASSERT_NE(language, nullptr);
        QTest::keyClicks(dialog.findChild<QLineEdit*>("txtAddress"), c.typed);
        if (c.chosen != nullptr) {
            language->setCurrentIndex(language->findText(c.chosen));
        }
        EXPECT_EQ(language->isEnabled(), c.enabled);
        EXPECT_EQ(language->currentText(), c.shown);
        EXPECT_EQ(dialog.Address() ? QString::fromStdString(dialog.Address()->Text()) : QString(),
                  c.address);
    }
}

} // namespace
