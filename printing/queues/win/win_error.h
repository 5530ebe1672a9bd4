#pragma once

#include <string>

// The system's text for a Windows error code, in UTF-8, without the line end
// the system puts after it, followed by the code itself: "Invalid printer name. (1801)".
std::string WinErrorText(unsigned long errorCode);

// The text of the calling thread's last error (GetLastError).
std::string LastWinErrorText();
