// Text conversions at the window's edges: Windows takes UTF-16, the engine speaks UTF-8,
// the module and the board speak Windows-1252.
#pragma once

#include "words/messages.h"

#include <string>

namespace torvexgui {

// A catalogue entry in the language chosen, as the window shows it.
std::wstring Words(torvexupdate::Message message, std::initializer_list<torvexupdate::Placeholder> values = {});

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::wstring FromCp1252(const std::string& bytes);

}  // namespace torvexgui
