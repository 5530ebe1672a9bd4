#include "printing/backends/device/serial_termios.h"

#include <array>
#include <vector>

namespace SerialTermios {

namespace {

struct Rate {
    unsigned baud;
    speed_t speed;
};

// The rates above 38400 are not in POSIX; each is used where the system has it.
constexpr Rate Rates[] = {
    {50, B50},           {75, B75},     {110, B110},   {134, B134},     {150, B150},
    {200, B200},         {300, B300},   {600, B600},   {1200, B1200},   {1800, B1800},
    {2400, B2400},       {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
#ifdef B57600
    {57600, B57600},
#endif
#ifdef B115200
    {115200, B115200},
#endif
#ifdef B230400
    {230400, B230400},
#endif
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1152000
    {1152000, B1152000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000},
#endif
#ifdef B3000000
    {3000000, B3000000},
#endif
#ifdef B3500000
    {3500000, B3500000},
#endif
#ifdef B4000000
    {4000000, B4000000},
#endif
};

tcflag_t CharacterSize(unsigned bits) {
    static constexpr std::array<tcflag_t, 4> Sizes{CS5, CS6, CS7, CS8};
    return Sizes[bits - 5];
}

} // namespace

std::optional<speed_t> Speed(unsigned baud) {
    for (const Rate& rate : Rates) {
        if (rate.baud == baud) {
            return rate.speed;
        }
    }
    return std::nullopt;
}

std::string SupportedRates() {
    std::string text;
    for (const Rate& rate : Rates) {
        text += (text.empty() ? "" : ", ") + std::to_string(rate.baud);
    }
    return text;
}

std::string Refusal(const SerialSettings& settings) {
    if (!Speed(settings.baud)) {
        return std::to_string(settings.baud) +
               " baud is not a rate this system can set; use one of " + SupportedRates();
    }
    if (settings.bits < 5 || settings.bits > 8) {
        return std::to_string(settings.bits) + " bits to a character can't be set; use 5 to 8";
    }
    // The terminal interface has RTS/CTS flow control only; DTR/DSR would need a driver of
    // its own.
    if (settings.flow == SerialSettings::Flow::DtrDsr) {
        return "DTR/DSR flow control is not available here; use flow=hard (RTS/CTS), "
               "flow=soft (XON/XOFF) or flow=none";
    }
    return {};
}

termios ForJob(const termios& current, const SerialSettings& settings) {
    termios line = current;
    cfmakeraw(&line);
    line.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    // CLOCAL: the job needs no modem's carrier; CREAD: the printer's XOFF must be heard.
    line.c_cflag |= CLOCAL | CREAD | CharacterSize(settings.bits);
    if (settings.parity != SerialSettings::Parity::None) {
        line.c_cflag |= PARENB;
    }
    if (settings.parity == SerialSettings::Parity::Odd) {
        line.c_cflag |= PARODD;
    }
    if (settings.stopBits == 2) {
        line.c_cflag |= CSTOPB;
    }
    if (settings.flow == SerialSettings::Flow::Software) {
        line.c_iflag |= IXON | IXOFF;
    } else if (settings.flow == SerialSettings::Flow::Hardware) {
        line.c_cflag |= CRTSCTS;
    }
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    const speed_t speed = *Speed(settings.baud);
    cfsetospeed(&line, speed);
    cfsetispeed(&line, speed);
    return line;
}

std::string NotTaken(const termios& wanted, const termios& taken, const SerialSettings& settings) {
    static constexpr std::array<const char*, 3> Parities{"no", "even", "odd"};
    static constexpr std::array<const char*, 4> Flows{"none", "soft", "hard", "dtrdsr"};
    const auto differs = [&](tcflag_t termios::*flags, tcflag_t mask) {
        return (wanted.*flags & mask) != (taken.*flags & mask);
    };
    std::vector<std::string> parts;
    if (cfgetospeed(&wanted) != cfgetospeed(&taken) ||
        cfgetispeed(&wanted) != cfgetispeed(&taken)) {
        parts.push_back(std::to_string(settings.baud) + " baud");
    }
    if (differs(&termios::c_cflag, CSIZE)) {
        parts.push_back(std::to_string(settings.bits) + " data bits");
    }
    if (differs(&termios::c_cflag, PARENB | PARODD)) {
        parts.push_back(std::string(Parities[static_cast<std::size_t>(settings.parity)]) +
                        " parity");
    }
    if (differs(&termios::c_cflag, CSTOPB)) {
        parts.push_back(settings.stopBits == 2 ? "2 stop bits" : "1 stop bit");
    }
    if (differs(&termios::c_cflag, CRTSCTS) || differs(&termios::c_iflag, IXON | IXOFF)) {
        parts.push_back("flow=" + std::string(Flows[static_cast<std::size_t>(settings.flow)]));
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    }
    return text;
}

} // namespace SerialTermios
