#include "app_info.h"
#include "tests/support/fake_desktop.h"
#include "ui/dialogs/frm_about.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AboutTest : public testing::Test {
protected:
    template <typename Control> Control* Find(const char* name) {
        auto* control = about_.findChild<Control*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    void ShowAndWait() {
        about_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about_));
    }

    FakeDesktop desktop_;
    frmAbout about_{desktop_};
};

TEST_F(AboutTest, LoadingSetsCaptionTitleAndVersion) {
    EXPECT_EQ(about_.windowTitle(), "About Tolvenmark");
    EXPECT_EQ(Find<QLabel>("lblTitle")->text(), "Tolvenmark");
    EXPECT_EQ(Find<QLabel>("lblVersion")->text(),
              frmAbout::VersionLine(
                  {AppInfo::VersionMajor, AppInfo::VersionMinor, AppInfo::VersionRevision}));
    EXPECT_EQ(Find<QLabel>("lblVersion")->text(), "Version 1.0.0");
}

TEST(AboutVersionLine, EachNumberShowsExactlyItsDecimalDigits) {
    EXPECT_EQ(frmAbout::VersionLine({1, 0, 0}), "Version 1.0.0");
    EXPECT_EQ(frmAbout::VersionLine({1, 0, 12}), "Version 1.0.12");
    EXPECT_EQ(frmAbout::VersionLine({1, 5, 0}), "Version 1.5.0");
    EXPECT_EQ(frmAbout::VersionLine({10, 20, 300}), "Version 10.20.300");

    FakeDesktop desktop;
    frmAbout about(desktop, {2, 5, 12});
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version 2.5.12");
}

TEST_F(AboutTest, DisclaimerNamesTheMakerAndTheAsIsBasis) {
    const QString disclaimer = Find<QLabel>("lblDescription")->text();
    EXPECT_TRUE(disclaimer.contains("Zelby ICT Services"));
    EXPECT_TRUE(disclaimer.contains("\"as is\""));
    EXPECT_TRUE(disclaimer.contains("no responsibility for any damage"));
}

TEST_F(AboutTest, OkEnterAndEscapeEachCloseTheWindow) {
    ShowAndWait();
    QTest::mouseClick(Find<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(about_.isVisible());

    ShowAndWait();
    QTest::keyClick(&about_, Qt::Key_Return);
    EXPECT_FALSE(about_.isVisible());

    ShowAndWait();
    QTest::keyClick(&about_, Qt::Key_Enter);
    EXPECT_FALSE(about_.isVisible());

    ShowAndWait();
    QTest::keyClick(&about_, Qt::Key_Escape);
    EXPECT_FALSE(about_.isVisible());
}

TEST_F(AboutTest, ShownModallyItReturnsWhenEscapeIsPressed) {
    bool escaped = false;
    QTimer::singleShot(0, &about_, [&] {
        QTest::keyClick(&about_, Qt::Key_Escape);
        escaped = true;
    });
    // Should Escape fail, the window is closed anyway so the test ends rather than hangs.
    QTimer::singleShot(5000, &about_, [&] { about_.done(-1); });

    const int result = about_.exec();

    EXPECT_TRUE(escaped);
    EXPECT_NE(result, -1);
    EXPECT_TRUE(about_.isModal());
}

TEST_F(AboutTest, LinkShowsTheHostAndEachClickStartsTheBrowserOnce) {
    ShowAndWait();
    auto* link = Find<QLabel>("lblWeb");
    EXPECT_EQ(link->text(), "www.zelby-ict.example");

    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);

    ASSERT_EQ(desktop_.openedWebAddresses.size(), 2u);
    EXPECT_EQ(desktop_.openedWebAddresses[0], "https://www.zelby-ict.example/");
    EXPECT_EQ(desktop_.openedWebAddresses[1], "https://www.zelby-ict.example/");
    EXPECT_TRUE(desktop_.messages.empty());
    EXPECT_TRUE(about_.isVisible());
}

TEST_F(AboutTest, PressOnTheLinkReleasedElsewhereStartsNothing) {
    ShowAndWait();
    auto* link = Find<QLabel>("lblWeb");

    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, -30));

    EXPECT_TRUE(desktop_.openedWebAddresses.empty());
}

TEST_F(AboutTest, BrowserThatCannotStartGetsTheAddressToTypeByHand) {
    desktop_.openWebAddressStarts = false;
    ShowAndWait();

    QTest::mouseClick(Find<QLabel>("lblWeb"), Qt::LeftButton);

    ASSERT_EQ(desktop_.messages.size(), 1u);
    EXPECT_EQ(desktop_.messages[0].text, "Sorry, couldn't start application.\r\n\r\n"
                                         " Navigate manually to https://www.zelby-ict.example/.");
    EXPECT_EQ(desktop_.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(desktop_.messages[0].icon, MessageIcon::None);
    EXPECT_TRUE(about_.isVisible());
}

TEST_F(AboutTest, ControlsStandWhereTheWindowPutsThem) {
    const std::pair<const char*, QRect> places[] = {
        {"Picture1", {0, 0, 377, 73}},      {"lblTitle", {64, 80, 259, 32}},
        {"lblVersion", {64, 116, 259, 15}}, {"lblDescription", {64, 152, 259, 46}},
        {"lblWeb", {64, 208, 265, 17}},     {"cmdOK", {152, 240, 84, 23}},
        {"Line1_1", {6, 227, 371, 1}},      {"Line1_0", {7, 228, 370, 2}},
    };
    for (const auto& [name, place] : places) {
        EXPECT_EQ(Find<QWidget>(name)->geometry(), place) << name;
    }
}

TEST_F(AboutTest, WindowIsWhiteFixedAndOpensAtItsOwnPlace) {
    ShowAndWait();
    EXPECT_EQ(about_.size(), QSize(377, 274));
    EXPECT_EQ(about_.minimumSize(), about_.maximumSize());
    EXPECT_EQ(about_.geometry().topLeft(), QPoint(156, 129));
    EXPECT_EQ(about_.palette().color(QPalette::Window), QColor(255, 255, 255));
    EXPECT_FALSE(about_.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about_.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST_F(AboutTest, BannerIsWholeArtworkCutOffByItsBox) {
    const QPixmap banner = Find<QLabel>("Picture1")->pixmap();
    EXPECT_EQ(banner.size(), QSize(388, 97));
    const QImage image = banner.toImage();
    // Artwork, not an empty picture: more than one colour in the visible part.
    EXPECT_NE(image.pixelColor(2, 2), image.pixelColor(40, 30));
}

TEST_F(AboutTest, EtchedRuleIsGreyOverWhiteAndTheLinkIsBlueAndUnderlined) {
    EXPECT_EQ(Find<QFrame>("Line1_1")->palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(Find<QFrame>("Line1_0")->palette().color(QPalette::Window), QColor(255, 255, 255));
    auto* link = Find<QLabel>("lblWeb");
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());
}

TEST_F(AboutTest, OkIsTheDefaultButtonAndHoldsTheFocus) {
    ShowAndWait();
    auto* ok = Find<QPushButton>("cmdOK");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(about_.focusWidget(), ok);
}

} // namespace
