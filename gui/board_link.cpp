#include "board_link.h"

#include "board_state.h"
#include "init_diagnosis.h"
#include "log_tail.h"
#include "paths.h"
#include "wide_text.h"

namespace torvexgui {

bool BoardLink::Open(const std::string& modulePath, std::wstring* problem)
{
    // The same rules as torvexctl: the module finds itself, torvex.ini and its log through
    // the narrow-character path it was loaded by (its short name when the ANSI code page
    // cannot hold the path).
    torvexctl::ModuleSetting setting;
    setting.modulePath = torvexupdate::AbsolutePath(modulePath);
    setting.programFolder = torvexctl::ProgramFolder();
    setting.folder = torvexctl::HasModuleFileName(setting.modulePath) ? torvexctl::FolderOf(setting.modulePath)
                                                                      : setting.programFolder;
    torvexupdate::NarrowPath narrow = torvexupdate::ForModule(setting.modulePath);
    std::string loadAs;
    if (narrow.usable) {
        setting.narrowPath = narrow.bytes;
        if (narrow.shortName)
            loadAs = torvexupdate::AnsiToUtf8(narrow.bytes);
    }
    folder_ = setting.folder;
    std::string error;
    if (!module_.Load(setting.modulePath, loadAs, &error)) {
        *problem = L"The board module could not be loaded:\n\n" + Wide(error)
            + L"\n\nPut torvex.dll beside torvexgui.exe, or name it with --dll PATH.";
        return false;
    }
    torvexctl::LogTail tail(torvexctl::JoinPath(setting.folder, "Torvex.log"));
    if (module_.init() == 1)
        return true;
    std::wstring causes;
    for (const std::string& cause : torvexctl::InitFailureCauses(setting, tail.AddedLines()))
        causes += L"\u2022 " + Wide(cause) + L"\n";
    *problem = L"The board module could not reach the board (initialisation failed).\n\n"
        + (causes.empty() ? L"" : causes + L"\n") + L"Check torvex.ini beside " + Wide(setting.modulePath)
        + L" (QuelvanePath in [TorvexPath]: the folder of the communication library), that the board is connected "
          L"and that no other program uses it; details are in "
        + Wide(tail.Path()) + L".";
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
    return FromCp1252(torvexupdate::BannerLine(*content.banner));
}

}  // namespace torvexgui
