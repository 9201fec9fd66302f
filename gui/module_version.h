// The version a file's version resource states: what the window says of the torvex.dll it
// loaded, which may come from another release than the window itself.
#pragma once

#include <string>

namespace torvexgui {

// The FileVersion text of the file at `path` ("1.6.5 b0"), in the language its resource
// names first; "" when it has none or it cannot be read.
std::wstring FileVersionText(const std::wstring& path);

}  // namespace torvexgui
