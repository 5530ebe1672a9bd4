// The program ends when no window of its own is open, tool windows included.
#include "tests/ui/main_window_fixture.h"
#include "ui/app_lifetime.h"

#include <QAction>
#include <QMenu>

namespace {

class AppLifetimeTest : public MainWindowTest {
protected:
    AppLifetime lifetime;
    int ended = 0;

    void SetUp() override {
        QObject::connect(&lifetime, &AppLifetime::noWindowLeft, [this] { ++ended; });
    }

    // Lets the deferred look at the windows happen.
    void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    }
};

TEST_F(AppLifetimeTest, AnOwnerlessToolWindowOutlivesTheMainWindow) {
    EXPECT_FALSE(QApplication::quitOnLastWindowClosed());
    Start();
    // Stands in for the ASCII table: a tool window without owner.
    QWidget table(nullptr, Qt::Tool);
    table.show();

    window->findChild<QAction*>("mnuExit")->trigger();
    Settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(table.isVisible());
    EXPECT_EQ(ended, 0);

    table.close();
    EXPECT_TRUE(WaitUntil([&] { return ended > 0; }));
    Settle();
    EXPECT_EQ(ended, 1);
}

TEST_F(AppLifetimeTest, ClosingTheMainWindowAloneEndsTheProgram) {
    Start();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(WaitUntil([&] { return ended > 0; }));
}

TEST_F(AppLifetimeTest, DialogsComingAndGoingDoNotEndIt) {
    Start();
    QWidget dialog(window.get(), Qt::Dialog);
    dialog.show();
    dialog.close();
    Settle();
    EXPECT_EQ(ended, 0);
}

TEST_F(AppLifetimeTest, MenusAndTipsDoNotKeepItAlive) {
    Start();
    QMenu menu;
    menu.addAction("item");
    menu.popup(QPoint(10, 10));
    ASSERT_TRUE(menu.isVisible());
    EXPECT_TRUE(AppLifetime::AnyWindowOpen());
    window->close();
    EXPECT_TRUE(WaitUntil([&] { return ended > 0; }));
    EXPECT_FALSE(AppLifetime::AnyWindowOpen());
    menu.close();
}

} // namespace
