// torvexgui: updates a board's application from a window. Loads torvex.dll (from its own
// folder or --dll PATH), initialises it, and shows one dialog until it is closed.
//
//   torvexgui.exe [--dll PATH] [--history PATH] [--retries N] [--lang fr|en] [FILE]
#include "board_link.h"
#include "control_ids.h"
#include "history/history.h"
#include "main_dialog.h"
#include "operator_setting.h"
#include "manifest/manifest_check.h"
#include "system/paths.h"
#include "system/host_platform.h"
#include "system/system_facts.h"
#include "words/language.h"
#include "wide_text.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <optional>
#include <string>

namespace {

using namespace torvexgui;

struct CommandLine {
    std::wstring dll;
    std::wstring history;
    std::wstring file;
    std::wstring language;
    int retries = 0;
    bool ok = true;
};

CommandLine ParseCommandLine()
{
    CommandLine line;
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; arguments != nullptr && i < count && line.ok; ++i) {
        std::wstring argument = arguments[i];
        bool hasValue = i + 1 < count;
        if (argument == L"--dll" && hasValue)
            line.dll = arguments[++i];
        else if (argument == L"--history" && hasValue)
            line.history = arguments[++i];
        else if (argument == L"--lang" && hasValue)
            line.language = arguments[++i];
        else if (argument == L"--retries" && hasValue)
            line.retries = static_cast<int>(std::wcstol(arguments[++i], nullptr, 10));
        else if (argument.rfind(L"--", 0) != 0 && line.file.empty())
            line.file = argument;
        else
            line.ok = false;
    }
    LocalFree(arguments);
    line.ok = line.ok && line.retries >= 0 && line.retries <= 100;
    return line;
}

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/"));
}

// --lang, else TORVEX_LANG, else the language last chosen in the window, else the user's.
void ChooseWindowLanguage(const CommandLine& line)
{
    std::optional<torvexupdate::Language> remembered = RememberedLanguage();
    bool given = !line.language.empty() || !torvexupdate::EnvironmentVariable("TORVEX_LANG").empty();
    torvexupdate::UseLanguage(!given && remembered ? *remembered : torvexupdate::ChooseLanguage(Utf8(line.language)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    // A library dropped into the working folder must not be loaded for a relative QuelvanePath.
    torvexupdate::KeepCurrentFolderOutOfLibrarySearch();
    CommandLine line = ParseCommandLine();
    ChooseWindowLanguage(line);
    if (!line.ok) {
        MessageBoxW(nullptr, Words(torvexupdate::Message::kWindowUsage).c_str(), TORVEXGUI_TITLE,
                    MB_OK | MB_ICONINFORMATION);
        return 2;
    }
    std::wstring modulePath = line.dll.empty() ? ProgramFolder() + L"\\torvex.dll" : line.dll;
    BoardLink board;
    std::wstring problem;
    if (!board.Open(Utf8(modulePath), &problem)) {
        MessageBoxW(nullptr, problem.c_str(), TORVEXGUI_TITLE, MB_OK | MB_ICONERROR);
        return 3;
    }
    WindowSettings settings;
    settings.historyPath = torvexupdate::HistoryPath(Utf8(line.history), board.ModuleFolder());
    settings.file = line.file;
    settings.retries = line.retries;
    settings.trustedKeysFolder = torvexupdate::JoinPath(board.ModuleFolder(), torvexupdate::kTrustedKeysFolderName);
    RunMainDialog(instance, board, settings);
    return 0;
}
