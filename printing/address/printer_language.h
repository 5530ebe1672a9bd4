#pragma once

#include <optional>
#include <string_view>

// The command language a direct printer is asked about its state in. A printer is sent a
// query only in the language it is known to speak: a ZPL query that reaches a receipt
// printer prints as text. Automatic leaves it to what the printer or the job says of itself
// (a USB printer's device ID, the job's first bytes); None never asks in any language.
enum class PrinterLanguage { Automatic, EscPos, Zpl, Pjl, None };

// A language's name as it is written in an address and on the command line ("escpos"),
// and as it is shown ("ESC/POS").
struct PrinterLanguageName {
    PrinterLanguage language;
    std::string_view name;
    std::string_view title;

    static std::optional<PrinterLanguage> Find(std::string_view name);
    static std::string_view NameOf(PrinterLanguage language);
    static std::string_view TitleOf(PrinterLanguage language);
    // "escpos, zpl, pjl or none": the names a user may write.
    static std::string_view Choices();
    // Whether the printer may be asked in it: a language, not Automatic or None.
    static bool Speaks(PrinterLanguage language) {
        return language != PrinterLanguage::Automatic && language != PrinterLanguage::None;
    }
};
