// Text conversions for display: the module and the board speak single-byte Windows-1252,
// the terminal and JSON want UTF-8.
#pragma once

#include <string>

namespace torvexupdate {

// Windows-1252 bytes to UTF-8; the five unassigned bytes become U+FFFD.
std::string Cp1252ToUtf8(const std::string& bytes);

// As Cp1252ToUtf8, with control bytes shown as \xNN so that a stray byte cannot move the
// cursor or clear the terminal.
std::string ForTerminal(const std::string& bytes);

}  // namespace torvexupdate
