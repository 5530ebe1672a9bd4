#include "printing/win/win_error.h"

#include <windows.h>

std::string WinErrorText(unsigned long errorCode) {
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       errorCode, 0, text, static_cast<DWORD>(sizeof text), nullptr);
    std::string message(text, length);
    while (!message.empty() &&
           (message.back() == '\r' || message.back() == '\n' || message.back() == ' ')) {
        message.pop_back();
    }
    const std::string code = std::to_string(errorCode);
    return message.empty() ? "Windows error " + code : message + " (" + code + ")";
}

std::string LastWinErrorText() {
    return WinErrorText(GetLastError());
}
