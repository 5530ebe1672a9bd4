#include "ui/main/printer_state_text.h"

#include "core/safe_text.h"
#include "printing/address/printer_address.h"
#include "printing/talkback/status_words.h"

#include <QStringList>
#include <array>

namespace {

using Condition = StatusReport::Condition;

// The conditions a job waits out at the printer, or is lost in: the user is asked first.
constexpr std::array<Condition, 2> AskBeforeSending{Condition::PaperOut, Condition::CoverOpen};

// A printer's words and names come from outside: shown through the one rule for such text.
QString Shown(const std::string& text) {
    return QString::fromStdString(SafeText(text, WholeText));
}

QString Joined(const std::vector<std::string>& parts, const char* separator) {
    QStringList shown;
    for (const std::string& part : parts) {
        shown << Shown(part);
    }
    return shown.join(QString::fromLatin1(separator));
}

// A note without its explanation in brackets, which the tooltip gives in full.
QString Short(const std::string& note) {
    const std::string::size_type bracket = note.find(" (");
    return Shown(note.substr(0, bracket));
}

QString Title(PrinterLanguage language) {
    return QString::fromStdString(std::string(PrinterLanguageName::TitleOf(language)));
}

QString StateWords(const PrinterAnswer& answer) {
    if (!answer.told) {
        return answer.notes.empty()
                   ? QStringLiteral("not told")
                   : QStringLiteral("not told: %1").arg(Joined(answer.notes, "; "));
    }
    return Shown(StatusWords::Describe(answer.state, answer.language)) +
           QStringLiteral(" (%1)").arg(Joined(answer.sources, ", "));
}

} // namespace

QString PrinterStateText::StatusLine(const std::string& printer, const PrinterAnswer& answer) {
    if (!answer.told && answer.notes.empty()) {
        return {};
    }
    const QString said = answer.told ? StateWords(answer) : Short(answer.notes.front());
    return Shown(printer) + QStringLiteral(": ") + said;
}

QString PrinterStateText::Notes(const PrinterAnswer& answer) {
    return Joined(answer.notes, "\n");
}

QString PrinterStateText::Trouble(const PrinterAnswer& answer) {
    if (!answer.told) {
        return {};
    }
    for (const Condition condition : AskBeforeSending) {
        if (answer.state.Has(condition)) {
            return Shown(StatusWords::Describe(answer.state, answer.language));
        }
    }
    return {};
}

// The language asked in, else the one the address names (Automatic or None).
QString PrinterStateText::Properties(const PrinterAddress& address, const PrinterAnswer& answer) {
    const PrinterLanguage language =
        PrinterLanguageName::Speaks(answer.language) ? answer.language : address.language();
    QString text = Shown(address.Text()) + QStringLiteral("\nLanguage: ") + Title(language) +
                   QStringLiteral("\nState: ") + StateWords(answer);
    if (!answer.description.empty()) {
        text += QStringLiteral("\nDescription: ") + Shown(answer.description);
    }
    return text;
}
