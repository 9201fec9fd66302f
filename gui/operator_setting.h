// The operator's name, remembered between runs for the user: the value Operator of the
// registry key HKEY_CURRENT_USER\Software\torvex.
#pragma once

#include <string>

namespace torvexgui {

// The name remembered, else the TORVEX_OPERATOR environment variable, else "".
std::wstring RememberedOperator();

// Remembers `name` for the next run (an empty name forgets it). False when the registry
// cannot be written.
bool RememberOperator(const std::wstring& name);

}  // namespace torvexgui
