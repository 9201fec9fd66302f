#include "module_version.h"

#include <windows.h>

#include <cwchar>
#include <vector>

namespace torvexgui {

std::wstring FileVersionText(const std::wstring& path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return L"";
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return L"";
    // The first language and code page the resource lists, else US English in Unicode.
    struct Translation {
        WORD language, codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    Translation first = {0x0409, 1200};
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length)
        && length >= sizeof(Translation))
        first = translations[0];
    wchar_t query[64];
    std::swprintf(query, sizeof query / sizeof query[0], L"\\StringFileInfo\\%04x%04x\\FileVersion", first.language,
                  first.codePage);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &length) || text == nullptr
        || length == 0)
        return L"";
    std::wstring version(text, length);
    return version.substr(0, version.find(L'\0'));
}

}  // namespace torvexgui
