#pragma once

#include "printing/talkback/printer_answer.h"

#include <QString>
#include <string>

class PrinterAddress;

// How the window words what a direct printer said of itself: in the status bar, in the
// question before a job, and in its properties.
namespace PrinterStateText {

// "socket://h:9100?language=zpl: paper out (ZPL)", or why nothing told, in short; empty
// when the answer has nothing to say.
QString StatusLine(const std::string& printer, const PrinterAnswer& answer);
// Why each source told nothing, one line each, in full.
QString Notes(const PrinterAnswer& answer);
// What the printer reports that makes a job to it wait (paper out, an open cover), in words;
// empty when it reports nothing of the kind or told nothing.
QString Trouble(const PrinterAnswer& answer);
// The printer's language, its state and what it says it is, one line each.
QString Properties(const PrinterAddress& address, const PrinterAnswer& answer);

} // namespace PrinterStateText
