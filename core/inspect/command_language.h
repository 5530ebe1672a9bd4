#pragma once

#include <string>
#include <string_view>

// The printer command languages the inspection tells apart. Unknown is "no language
// recognised": the bytes fit none well enough to say.
enum class CommandLanguage {
    Unknown,
    Pjl,
    Pcl5,
    PclXl,
    PostScript,
    Pdf,
    Zpl,
    Epl,
    Tspl,
    Cpcl,
    EscPos,
    PwgRaster,
    Unirast,
    Text,
};

// "ZPL", "PCL 5", "no language recognised": how the language is named to the user.
std::string_view LanguageName(CommandLanguage language);

// The language a PJL "ENTER LANGUAGE=" names ("PCL", "POSTSCRIPT", "PCLXL", ...), in any
// letter case; Unknown for a name it does not know.
CommandLanguage LanguageOfPjlName(std::string_view name);
