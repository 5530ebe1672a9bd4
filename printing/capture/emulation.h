#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// What tolvenmark-cli capture --emulate makes of a socket listener: a printer of one
// language that answers the status queries in what a sender sends, as standing in one state.
struct Emulation {
    enum class Language { EscPos, Zpl, Pjl };
    enum class State { Ready, PaperOut, CoverOpen, Paused, Offline };

    // None: the listener only listens and answers nothing.
    std::optional<Language> language;
    // The state until the state file says another.
    State state = State::Ready;
    // How long a ZPL format or a PJL job stays in the printer's buffer, counted only while
    // the state is ready.
    std::chrono::milliseconds hold{0};
    // When not empty, the state is the first word of this file, read again whenever a query
    // is answered or a timed reply is due.
    std::string stateFile;

    // The names the command line and the state file use: "escpos", "zpl", "pjl"; "ready",
    // "paper-out", "cover-open", "paused", "offline". Any case.
    static std::optional<Language> LanguageNamed(std::string_view name);
    static std::optional<State> StateNamed(std::string_view name);
};
