#pragma once

#include <QString>

class Desktop;

// The user manual, a PDF that lies in the folder of the program file.
namespace HelpDocument {

inline constexpr const char* FileName = "Tolvenmark Manual.pdf";

// The manual's full path inside the given program folder.
QString PathIn(const QString& programFolder);

// Opens the manual with the desktop's viewer for PDF documents, without waiting for it.
// When the file is missing or no viewer could be started, tells the user so and returns
// false. The path reaches the viewer as one argument, spaces and all.
bool Open(Desktop& desktop, const QString& programFolder);

} // namespace HelpDocument
