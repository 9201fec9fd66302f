// The operator's name, remembered between runs for the user: the value Operator of the
// registry key HKEY_CURRENT_USER\Software\torvex.
#pragma once

#include "words/language.h"

#include <optional>
#include <string>

namespace torvexgui {

// The name remembered, else the TORVEX_OPERATOR environment variable, else "".
std::wstring RememberedOperator();

// Remembers `name` for the next run (an empty name forgets it). False when the registry
// cannot be written.
bool RememberOperator(const std::wstring& name);

// The language chosen in the window, kept beside the operator (value Language): none
// when it was never chosen.
std::optional<torvexupdate::Language> RememberedLanguage();
void RememberLanguage(torvexupdate::Language language);

}  // namespace torvexgui
