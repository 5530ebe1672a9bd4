#include "ui/desktop/qt_desktop.h"

#include "app_info.h"
#include "ui/desktop/name_filters.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

MessageAnswer QtDesktop::ShowMessage(const QString& text, MessageButtons buttons,
                                     MessageIcon icon) {
    const bool yesNo = buttons == MessageButtons::YesNo;
    QMessageBox box(icon == MessageIcon::Information ? QMessageBox::Information
                                                     : QMessageBox::NoIcon,
                    QString::fromUtf8(AppInfo::Title), text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, DialogOwner());
    if (yesNo) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        // Closing a Yes/No box by its close box or Escape means No; an OK box can only
        // be acknowledged.
        return yesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

bool QtDesktop::ShowOpen(CommonDialog& dialog) {
    QFileDialog fileDialog(DialogOwner());
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(fileDialog, dialog);
}

bool QtDesktop::ShowSave(CommonDialog& dialog) {
    QFileDialog fileDialog(DialogOwner());
    fileDialog.setAcceptMode(QFileDialog::AcceptSave);
    fileDialog.setFileMode(QFileDialog::AnyFile);
    // The save command asks about an existing file itself, after the dialog.
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    return RunFileDialog(fileDialog, dialog);
}

bool QtDesktop::RunFileDialog(QFileDialog& fileDialog, CommonDialog& dialog) {
    const QStringList nameFilters = NameFiltersFromFilter(dialog.Filter);
    if (!nameFilters.isEmpty()) {
        fileDialog.setOption(QFileDialog::HideNameFilterDetails);
        fileDialog.setNameFilters(nameFilters);
    }
    if (!dialog.FileName.isEmpty()) {
        // An absolute name also takes the dialog to the file's folder.
        fileDialog.selectFile(dialog.FileName);
    }
    if (fileDialog.exec() != QDialog::Accepted) {
        return false;
    }
    const QStringList chosen = fileDialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty()) {
        return false;
    }
    dialog.FileName = chosen.first();
    return true;
}

void QtDesktop::OpenDocument(const QString& path, std::function<void()> failed) {
    // Qt's own opener only learns that xdg-open started, not that it found a viewer: where
    // xdg-open is, it is run here and its exit status tells. It ends as soon as it has
    // handed the document to the viewer.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty()) {
        RunOpener(opener, path, std::move(failed));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        failed();
    }
}

void QtDesktop::RunOpener(const QString& opener, const QString& path,
                          std::function<void()> failed) {
    // Deletes itself when the opener has ended; the viewer it starts lives on.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    // The viewer inherits the opener's output: it goes where ours goes, never into a pipe
    // that nobody reads.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, &QProcess::finished, process,
                     [process, failed](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || exitCode != 0) {
                             failed();
                         }
                     });
    // A crash is reported by finished as well; only a start that failed ends here alone.
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             process->deleteLater();
                             failed();
                         }
                     });
    process->start();
}

bool QtDesktop::OpenWebAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtDesktop::StartProgram(const QString& program, const QStringList& arguments) {
    // Each argument reaches the program whole; no shell ever parses them.
    return QProcess::startDetached(program, arguments);
}

QTime QtDesktop::LocalTime() {
    return QTime::currentTime();
}

QWidget* QtDesktop::DialogOwner() {
    return QApplication::activeWindow();
}
