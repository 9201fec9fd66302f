// Windows only: text between a code page and UTF-16, for the system's wide-character calls.
#pragma once

#include <string>

namespace torvexupdate {

constexpr unsigned kUtf8CodePage = 65001;  // CP_UTF8

// Text in `codePage` to UTF-16, and back. Into a code page other than UTF-8 no best-fit
// substitute is made; `lossy` tells whether a character had no place there.
std::wstring Wide(const std::string& text, unsigned codePage = kUtf8CodePage);
std::string Narrow(const std::wstring& wide, unsigned codePage = kUtf8CodePage, bool* lossy = nullptr);

}  // namespace torvexupdate
