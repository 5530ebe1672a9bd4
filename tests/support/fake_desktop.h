#pragma once

#include "ui/desktop/desktop.h"

#include <deque>
#include <optional>
#include <vector>

// A desktop that answers from a script and records what the windows asked of it.
class FakeDesktop final : public Desktop {
public:
    struct Message {
        QString text;
        MessageButtons buttons;
        MessageIcon icon;
        bool windowVisible; // whether any window of the program was on screen at the time
    };
    struct DialogUse {
        QString kind; // "open" or "save"
        QString filter;
        QString fileNameAtStart;
    };
    struct ProgramStart {
        QString program;
        QStringList arguments;
    };

    // Answers for the coming message boxes, in order; Ok or Yes when the script runs out.
    std::deque<MessageAnswer> messageAnswers;
    // Answers for the coming file dialogs, in order: a path, or nothing for Cancel.
    std::deque<std::optional<QString>> dialogAnswers;
    // Whether opening a document succeeds; when not, the failure is reported at once.
    bool openDocumentOpens = true;
    bool openWebAddressStarts = true;
    bool programStarts = true;
    QTime time{12, 0};

    std::vector<Message> messages;
    std::vector<DialogUse> dialogs;
    std::vector<QString> openedDocuments;
    std::vector<QString> openedWebAddresses;
    std::vector<ProgramStart> startedPrograms;

    MessageAnswer ShowMessage(const QString& text, MessageButtons buttons,
                              MessageIcon icon) override;
    bool ShowOpen(CommonDialog& dialog) override;
    bool ShowSave(CommonDialog& dialog) override;
    void OpenDocument(const QString& path, std::function<void()> failed) override;
    bool OpenWebAddress(const QString& address) override;
    bool StartProgram(const QString& program, const QStringList& arguments) override;
    QTime LocalTime() override { return time; }

private:
    bool ShowDialog(const QString& kind, CommonDialog& dialog);
};
