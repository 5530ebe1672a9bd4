#include "printing/cups/cups_scheduler.h"

#include <cups/cups.h>

namespace CupsScheduler {

std::string NoAnswerMessage() {
    return std::string("No print scheduler answers at ") + cupsServer() + ".";
}

} // namespace CupsScheduler
