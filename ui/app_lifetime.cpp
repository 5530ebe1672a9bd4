#include "ui/app_lifetime.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

AppLifetime::AppLifetime(QObject* parent) : QObject(parent) {
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(this);
}

AppLifetime::~AppLifetime() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
        QApplication::setQuitOnLastWindowClosed(true);
    }
}

bool AppLifetime::KeepsProgramRunning(const QWidget& widget) {
    if (!widget.isWindow() || !widget.isVisible()) {
        return false;
    }
    switch (widget.windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Drawer:
    case Qt::Tool:
        return true;
    default:
        return false;
    }
}

bool AppLifetime::AnyWindowOpen() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(),
                       [](const QWidget* window) { return KeepsProgramRunning(*window); });
}

bool AppLifetime::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Close || type == QEvent::Hide) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow() && !checkPending_) {
        // The window is still shown while its close or hide event is delivered, and a
        // close may yet be refused: look once that is settled.
        checkPending_ = true;
        QTimer::singleShot(0, this, &AppLifetime::CheckWindows);
    }
    return QObject::eventFilter(watched, event);
}

void AppLifetime::CheckWindows() {
    checkPending_ = false;
    if (!AnyWindowOpen()) {
        emit noWindowLeft();
    }
}
