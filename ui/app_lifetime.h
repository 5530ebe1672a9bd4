#pragma once

#include <QObject>

class QWidget;

// Ends the program when none of its windows is open any more. Qt's own rule
// (quitOnLastWindowClosed) does not count tool windows, so an owner-less tool window such
// as the ASCII table would be closed under the user when the main window goes; this rule
// counts every visible top-level window except pop-ups (menus, tooltips) and splash
// screens. It watches the whole application for windows being closed or hidden and then,
// once that event has been handled, looks whether any window is left.
class AppLifetime final : public QObject {
    Q_OBJECT
public:
    // Installs itself on the application and turns Qt's own rule off.
    explicit AppLifetime(QObject* parent = nullptr);
    ~AppLifetime() override;

    // Whether the widget is a window of the program that keeps it running while shown.
    static bool KeepsProgramRunning(const QWidget& widget);
    static bool AnyWindowOpen();

signals:
    // No window of the program is open any more; the program connects it to quit().
    void noWindowLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckWindows();

    bool checkPending_ = false;
};
