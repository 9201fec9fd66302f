#include "wide_text.h"

#include "system/windows/utf16.h"

namespace torvexgui {

std::wstring Wide(const std::string& utf8)
{
    return torvexupdate::Wide(utf8);
}

std::string Utf8(const std::wstring& wide)
{
    return torvexupdate::Narrow(wide);
}

std::wstring FromCp1252(const std::string& bytes)
{
    return torvexupdate::Wide(bytes, 1252);
}

std::wstring Words(torvexupdate::Message message, std::initializer_list<torvexupdate::Placeholder> values)
{
    return Wide(torvexupdate::Say(message, values));
}

}  // namespace torvexgui
