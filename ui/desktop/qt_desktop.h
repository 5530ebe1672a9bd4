#pragma once

#include "ui/desktop/desktop.h"

class QFileDialog;
class QWidget;

// The desktop as Qt gives it: message boxes, the file dialog, the desktop's openers for
// documents and web addresses, detached programs and the local clock.
class QtDesktop final : public Desktop {
public:
    MessageAnswer ShowMessage(const QString& text, MessageButtons buttons,
                              MessageIcon icon) override;
    bool ShowOpen(CommonDialog& dialog) override;
    bool ShowSave(CommonDialog& dialog) override;
    void OpenDocument(const QString& path, std::function<void()> failed) override;
    bool OpenWebAddress(const QString& address) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    QTime LocalTime() override;

private:
    // The window a dialog belongs to: the active one, or none before the main window shows.
    static QWidget* DialogOwner();
    // Shows the prepared dialog starting at the dialog's file name and type list; keeps
    // the chosen path in it when the user chose one.
    static bool RunFileDialog(QFileDialog& fileDialog, CommonDialog& dialog);
    // Runs the desktop's opener on the path and calls failed when it cannot start or ends
    // with anything but success, without waiting for it.
    static void RunOpener(const QString& opener, const QString& path, std::function<void()> failed);
};
