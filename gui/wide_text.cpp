#include "wide_text.h"

#include <windows.h>

namespace torvexgui {

namespace {

std::wstring ToWide(UINT codePage, const std::string& bytes)
{
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], length);
    return wide;
}

}  // namespace

std::wstring Wide(const std::string& utf8)
{
    return ToWide(CP_UTF8, utf8);
}

std::string Utf8(const std::wstring& wide)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (length > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::wstring FromCp1252(const std::string& bytes)
{
    return ToWide(1252, bytes);
}

}  // namespace torvexgui
