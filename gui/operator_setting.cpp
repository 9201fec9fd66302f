#include "operator_setting.h"

#include "history/history_view.h"
#include "wide_text.h"

#include <windows.h>

namespace torvexgui {

namespace {

const wchar_t* const kKey = L"Software\\torvex";
const wchar_t* const kValue = L"Operator";
const wchar_t* const kLanguageValue = L"Language";

}  // namespace

std::wstring RememberedOperator()
{
    wchar_t name[256] = L"";
    DWORD size = sizeof name;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_SZ, nullptr, name, &size) == ERROR_SUCCESS)
        return name;
    return Wide(torvexupdate::ChosenOperator(""));
}

bool RememberOperator(const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LSTATUS status = name.empty()
        ? RegDeleteValueW(key, kValue)
        : RegSetValueExW(key, kValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                         static_cast<DWORD>(name.size() + 1) * static_cast<DWORD>(sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS || (name.empty() && status == ERROR_FILE_NOT_FOUND);
}

std::optional<torvexupdate::Language> RememberedLanguage()
{
    wchar_t code[16] = L"";
    DWORD size = sizeof code;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, kLanguageValue, RRF_RT_REG_SZ, nullptr, code, &size) != ERROR_SUCCESS
        || code[0] == L'\0')
        return std::nullopt;
    return torvexupdate::LanguageNamed(Utf8(code));
}

void RememberLanguage(torvexupdate::Language language)
{
    std::wstring code = Wide(torvexupdate::LanguageCode(language));
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, kLanguageValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(code.c_str()),
                   static_cast<DWORD>(code.size() + 1) * static_cast<DWORD>(sizeof(wchar_t)));
    RegCloseKey(key);
}

}  // namespace torvexgui
