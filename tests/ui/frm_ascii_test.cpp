#include "core/code_table.h"
#include "tests/support/fake_desktop.h"
#include "ui/dialogs/frm_ascii.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString FontMissing = "OEM font not available. Display of ASCII table not possible";

class AsciiWindowTest : public testing::Test {
protected:
    void SetUp() override { modAsciiStuff::BuildCodeTable(); }

    // A font lookup that counts how often the table is drawn.
    frmASCII::FontLookup CountingLookup() {
        return [this]() -> std::optional<QFont> {
            ++lookups_;
            return frmASCII::SystemFixedFont();
        };
    }

    static QImage Picture(QWidget& window) { return window.grab().toImage(); }

    // The part of the window above the button strip, where the table stands.
    static QImage TableArea(QWidget& window) { return Picture(window).copy(0, 0, 609, 448); }

    static bool AllWhite(const QImage& image) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                    return false;
                }
            }
        }
        return true;
    }

    static void Click(QWidget& window, const char* button) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }

    FakeDesktop desktop_;
    int lookups_ = 0;
};

TEST_F(AsciiWindowTest, WindowAndButtons) {
    frmASCII window(desktop_);
    window.setAttribute(Qt::WA_DeleteOnClose, false); // it lives on the stack here
    EXPECT_EQ(window.windowTitle(), "ASCII Table");
    EXPECT_EQ(window.parentWidget(), nullptr);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window.size(), QSize(609, 490));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.isModal());

    const QWidget* frame = window.findChild<QWidget*>("Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(0, 448, 625, 49));
    const auto* upper = window.findChild<QPushButton*>("cmdUpper");
    const auto* lower = window.findChild<QPushButton*>("cmdLower");
    ASSERT_NE(upper, nullptr);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(upper->parentWidget(), frame);
    EXPECT_EQ(upper->text(), "Upper");
    EXPECT_EQ(upper->geometry(), QRect(560, 8, 41, 25));
    EXPECT_EQ(lower->text(), "Lower");
    EXPECT_EQ(lower->geometry(), QRect(512, 8, 41, 25));
    EXPECT_EQ(upper->nextInFocusChain(), lower);
    EXPECT_TRUE(desktop_.messages.empty());
}

TEST_F(AsciiWindowTest, UpperThenLowerGivesTheOpeningPicture) {
    auto* window = new frmASCII(desktop_);
    window->show();
    QApplication::processEvents();
    const QImage opening = Picture(*window);
    EXPECT_FALSE(AllWhite(TableArea(*window)));

    Click(*window, "cmdUpper");
    const QImage upper = Picture(*window);
    EXPECT_NE(upper, opening);
    EXPECT_FALSE(AllWhite(TableArea(*window)));
    Click(*window, "cmdUpper");
    EXPECT_EQ(Picture(*window), upper);

    Click(*window, "cmdLower");
    EXPECT_EQ(Picture(*window), opening);
    window->close();
}

TEST_F(AsciiWindowTest, RepaintShowsThePictureWithoutDrawingTheTableAgain) {
    auto* window = new frmASCII(desktop_, CountingLookup());
    EXPECT_EQ(lookups_, 1) << "drawn while loading, before it is shown";
    window->show();
    QApplication::processEvents();
    const QImage shown = Picture(*window);
    window->repaint();
    window->hide();
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(Picture(*window), shown);
    EXPECT_EQ(lookups_, 1);
    Click(*window, "cmdUpper");
    EXPECT_EQ(lookups_, 2);
    window->close();
}

TEST_F(AsciiWindowTest, ClosingDestroysTheWindow) {
    QPointer<frmASCII> window = new frmASCII(desktop_);
    window->show();
    Click(*window, "cmdUpper");
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

TEST_F(AsciiWindowTest, NoFixedPitchFontLeavesTheWindowBlankAndSaysSo) {
    auto* window = new frmASCII(desktop_, [] { return std::optional<QFont>(); });
    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].text, FontMissing);
    EXPECT_EQ(desktop_.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(desktop_.messages[0].icon, MessageIcon::None);

    window->show();
    QApplication::processEvents();
    EXPECT_TRUE(AllWhite(TableArea(*window)));
    Click(*window, "cmdUpper");
    EXPECT_EQ(desktop_.messages.size(), 2u);
    EXPECT_TRUE(window->isVisible());
    window->close();
}

TEST_F(AsciiWindowTest, FailedDrawClearsTheEarlierTable) {
    bool fontAvailable = true;
    auto* window = new frmASCII(desktop_, [&fontAvailable]() -> std::optional<QFont> {
        return fontAvailable ? frmASCII::SystemFixedFont() : std::nullopt;
    });
    window->show();
    QApplication::processEvents();
    ASSERT_FALSE(AllWhite(TableArea(*window)));
    fontAvailable = false;
    Click(*window, "cmdUpper");
    EXPECT_TRUE(AllWhite(TableArea(*window)));
    EXPECT_EQ(desktop_.messages.size(), 1u);
    window->close();
}

TEST_F(AsciiWindowTest, TheSystemHasAFixedPitchFont) {
    const std::optional<QFont> font = frmASCII::SystemFixedFont();
    ASSERT_TRUE(font.has_value());
    const QFontMetrics metrics(*font);
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
}

} // namespace
