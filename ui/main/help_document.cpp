#include "ui/main/help_document.h"

#include "ui/desktop/desktop.h"

#include <QDir>
#include <QFileInfo>

namespace HelpDocument {

QString PathIn(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(FileName));
}

bool Open(Desktop& desktop, const QString& programFolder) {
    const QString path = PathIn(programFolder);
    // A desktop opener only learns that it started, not that the viewer found the file,
    // so a missing manual is caught here.
    if (!QFileInfo(path).isFile() || !desktop.OpenDocument(path)) {
        desktop.ShowMessage(QStringLiteral("Can't open the Help document"));
        return false;
    }
    return true;
}

} // namespace HelpDocument
