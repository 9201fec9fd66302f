#include "board_link.h"

#include "board_state.h"
#include "log_tail.h"
#include "wide_text.h"

namespace torvexgui {

bool BoardLink::Open(const std::string& modulePath, std::wstring* problem)
{
    std::string error;
    if (!module_.Load(modulePath, &error)) {
        *problem = L"The board module could not be loaded:\n\n" + Wide(error)
            + L"\n\nPut torvex.dll beside torvexgui.exe, or name it with --dll PATH.";
        return false;
    }
    std::string log = torvexctl::JoinPath(module_.ModuleFolder(), "Torvex.log");
    torvexctl::LogTail tail(log);
    if (module_.init() == 1)
        return true;
    std::wstring lines;
    for (const std::string& line : tail.AddedLines())
        if (!line.empty())
            lines += L"    " + Wide(line) + L"\n";
    *problem = L"The board module could not reach the board (initialisation failed).\n\nCheck torvex.ini beside "
        + Wide(modulePath)
        + L" (QuelvanePath in [TorvexPath]: the folder of the communication library), "
          L"that the board is connected, and that no other program uses it. Torvex.log says:\n\n"
        + (lines.empty() ? L"    (nothing: " + Wide(log) + L" could not be written)\n" : lines);
    return false;
}

torvexupdate::BoardCalls BoardLink::Calls() const
{
    return torvexupdate::BoardCalls{module_.download, module_.version, module_.reference};
}

std::wstring BoardLink::Reference() const
{
    std::string reference = torvexupdate::ReadReference(Calls());
    return reference.empty() ? L"(could not be read)" : FromCp1252(reference);
}

std::wstring BoardLink::Application() const
{
    torvexupdate::BoardContent content = torvexupdate::ReadBoardContent(Calls());
    if (!content.known)
        return L"(could not be read)";
    if (!content.banner)
        return L"no application in flash";
    return FromCp1252(torvexctl::BannerLine(*content.banner));
}

}  // namespace torvexgui
