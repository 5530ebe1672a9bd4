#include "printing/queues/win/win_error.h"

#include "core/win_text.h"

#include <windows.h>

std::string WinErrorText(unsigned long errorCode) {
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, errorCode, 0, text,
                                        static_cast<DWORD>(sizeof text / sizeof text[0]), nullptr);
    std::string message = WinText::Utf8(std::wstring_view(text, length));
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
