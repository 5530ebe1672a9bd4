#include "tests/support/fake_desktop.h"

#include <QApplication>
#include <QWidget>

namespace {

bool AnyWindowVisible() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            return true;
        }
    }
    return false;
}

} // namespace

MessageAnswer FakeDesktop::ShowMessage(const QString& text, MessageButtons buttons,
                                       MessageIcon icon) {
    messages.push_back({text, buttons, icon, AnyWindowVisible()});
    if (messageAnswers.empty()) {
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    const MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

bool FakeDesktop::ShowDialog(const QString& kind, CommonDialog& dialog) {
    dialogs.push_back({kind, dialog.Filter, dialog.FileName});
    if (dialogAnswers.empty()) {
        return false;
    }
    const std::optional<QString> answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    if (!answer) {
        return false;
    }
    dialog.FileName = *answer;
    return true;
}

bool FakeDesktop::ShowOpen(CommonDialog& dialog) {
    return ShowDialog("open", dialog);
}
bool FakeDesktop::ShowSave(CommonDialog& dialog) {
    return ShowDialog("save", dialog);
}

void FakeDesktop::OpenDocument(const QString& path, std::function<void()> failed) {
    openedDocuments.push_back(path);
    if (!openDocumentOpens) {
        failed();
    }
}

bool FakeDesktop::OpenWebAddress(const QString& address) {
    openedWebAddresses.push_back(address);
    return openWebAddressStarts;
}

bool FakeDesktop::StartProgram(const QString& program, const QStringList& arguments) {
    startedPrograms.push_back({program, arguments});
    return programStarts;
}
