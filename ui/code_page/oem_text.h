#pragma once

#include <QChar>
#include <QString>
#include <string_view>

// How the ASCII table draws its bytes: code page 437, the character set of the PC's text
// screen, with the graphic characters it shows for the control bytes (a house for 127),
// the box-drawing characters that rule the table (179, 196, 197) and the accented letters,
// Greek letters and symbols of 128 to 255.
namespace OemText {

QChar FromByte(unsigned char byte);
QString FromBytes(std::string_view bytes);

} // namespace OemText
