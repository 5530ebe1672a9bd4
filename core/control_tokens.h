#pragma once

#include <array>
#include <string_view>

// The 34 notation tokens and the byte each one stands for, in code-table row order:
// the control bytes 0 to 31, then DEL (127), then 255. Every other byte is written as itself.
namespace ControlTokens {

struct Token {
    unsigned char byte;
    std::string_view text;
};

inline constexpr std::array<Token, 34> All{{
    {0, "<NUL>"},  {1, "<SOH>"},  {2, "<STX>"},   {3, "<ETX>"},   {4, "<EOT>"},  {5, "<ENQ>"},
    {6, "<ACK>"},  {7, "<BEL>"},  {8, "<BS>"},    {9, "<TAB>"},   {10, "<LF>"},  {11, "<VT>"},
    {12, "<FF>"},  {13, "<CR>"},  {14, "<SO>"},   {15, "<SI>"},   {16, "<DLE>"}, {17, "<DC1>"},
    {18, "<DC2>"}, {19, "<DC3>"}, {20, "<DC4>"},  {21, "<NAK>"},  {22, "<SYN>"}, {23, "<ETB>"},
    {24, "<CAN>"}, {25, "<EM>"},  {26, "<SUB>"},  {27, "<ESC>"},  {28, "<FS>"},  {29, "<GS>"},
    {30, "<RS>"},  {31, "<US>"},  {127, "<DEL>"}, {255, "<NPC>"},
}};

} // namespace ControlTokens
