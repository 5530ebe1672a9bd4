#pragma once

#include <QString>

class Desktop;

// The user manual, a PDF that lies beside the program file in the build and on Windows,
// and in the documentation folder of an installation.
namespace HelpDocument {

inline constexpr const char* FileName = "Tolvenmark Manual.pdf";

// The manual's full path for a program in the given folder: beside the program when it
// lies there, else where the installation puts it, found from the program's folder so that
// a moved installation still finds it. Beside the program when it is in neither place.
QString PathIn(const QString& programFolder);

// Opens the manual with the desktop's viewer for PDF documents, without waiting for it.
// When the file is missing or the desktop could not open it, tells the user so, then or
// once the desktop knows. The path reaches the viewer as one argument, spaces and all.
void Open(Desktop& desktop, const QString& programFolder);

} // namespace HelpDocument
