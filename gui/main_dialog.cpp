#include "main_dialog.h"

#include "control_ids.h"
#include "history.h"
#include "history_attempts.h"
#include "outcome_text.h"
#include "update_record.h"
#include "update_run.h"
#include "wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <chrono>

namespace torvexgui {

namespace {

using namespace torvexupdate;
using Clock = std::chrono::steady_clock;

constexpr UINT_PTR kElapsedTimer = 1;
constexpr std::size_t kHistoryShown = 20;

struct Window {
    HWND dialog = nullptr;
    BoardLink* board = nullptr;
    WindowSettings settings;
    UpdateFile file;
    UpdateRun run;
    bool running = false;
    Clock::time_point started;
};

void SetText(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

std::wstring TextOf(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool Forced(HWND dialog)
{
    return IsDlgButtonChecked(dialog, IDC_FORCE) == BST_CHECKED;
}

void AddLine(HWND dialog, int id, const std::wstring& line)
{
    LRESULT index = SendDlgItemMessageW(dialog, id, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    // Long lines scroll sideways: widen the scrolling extent to the longest line so far.
    HWND list = GetDlgItem(dialog, id);
    HDC context = GetDC(list);
    HGDIOBJ font = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(context, line.c_str(), static_cast<int>(line.size()), &size);
    SelectObject(context, font);
    ReleaseDC(list, context);
    if (size.cx + 8 > SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0))
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + 8), 0);
    if (id == IDC_LOG && index >= 0)
        SendDlgItemMessageW(dialog, id, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void ShowBoard(Window& window)
{
    std::string reference;
    SetText(window.dialog, IDC_BOARD_REFERENCE, window.board->Reference(&reference));
    SetText(window.dialog, IDC_BOARD_APPLICATION, window.board->Application());
    // Said first, over what the outcome said before: the board's banner may look right.
    BoardHistory standing = BoardHistoryOf(window.settings.historyPath, reference, UpdateFile());
    if (standing.interrupted)
        SetText(window.dialog, IDC_OUTCOME,
                L"Warning: "
                    + Wide(InterruptedWords(*standing.interrupted,
                                            "choose the application file and press Update to write it again before "
                                            "using the board.")));
}

// Reads the board under the board interface's lock, or says who holds it.
void ReadBoard(Window& window)
{
    std::wstring busy;
    if (!window.board->Acquire("reading the board", "", &busy)) {
        SetText(window.dialog, IDC_OUTCOME, busy + L" Press Refresh when it has finished.");
        return;
    }
    ShowBoard(window);
    window.board->Release();
}

void ShowHistory(Window& window)
{
    SendDlgItemMessageW(window.dialog, IDC_HISTORY, LB_RESETCONTENT, 0, 0);
    History history = ReadHistory(window.settings.historyPath);
    if (!history.error.empty())
        AddLine(window.dialog, IDC_HISTORY, Wide(history.error));
    // One line an attempt: a started record without its outcome shows as interrupted.
    std::vector<Record> attempts = Attempts(history.records);
    for (std::size_t shown = 0; shown < kHistoryShown && shown < attempts.size(); ++shown)
        AddLine(window.dialog, IDC_HISTORY, Wide(RecordSummary(attempts[attempts.size() - 1 - shown])));
    if (!history.warnings.empty())
        AddLine(window.dialog, IDC_HISTORY,
                L"(" + std::to_wstring(history.warnings.size()) + L" damaged or incomplete line(s) skipped in "
                    + Wide(window.settings.historyPath) + L")");
    if (history.records.empty() && history.warnings.empty() && history.error.empty())
        AddLine(window.dialog, IDC_HISTORY, L"(no update recorded yet in " + Wide(window.settings.historyPath) + L")");
}

// The controls a user may touch: everything off while an update runs; Update only for a
// file that passes the check, or that may be forced.
void EnableControls(Window& window)
{
    bool idle = !window.running;
    const UpdateFile& file = window.file;
    bool writable = file.content.readable && file.check.verdict != FileVerdict::kEmpty;
    bool passes = writable && file.check.verdict == FileVerdict::kApplication;
    for (int id : {IDC_REFRESH, IDC_FILE_PATH, IDC_BROWSE, IDC_FORCE})
        EnableWindow(GetDlgItem(window.dialog, id), idle);
    EnableWindow(GetDlgItem(window.dialog, IDC_UPDATE), idle && (passes || (writable && Forced(window.dialog))));
}

void InspectChosenFile(Window& window)
{
    std::wstring path = TextOf(window.dialog, IDC_FILE_PATH);
    window.file = path.empty() ? UpdateFile{} : InspectFile(Utf8(path));
    const auto& banner = window.file.content.banner;
    SetText(window.dialog, IDC_FILE_BANNER,
            banner ? FromCp1252(torvexupdate::BannerLine(*banner))
                   : (window.file.content.readable ? L"(none: the file is too short to hold one)" : L""));
    SetText(window.dialog, IDC_FILE_CHECK, FileVerdictText(window.file, Forced(window.dialog)));
    EnableControls(window);
}

void Browse(Window& window)
{
    wchar_t path[32768] = L"";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window.dialog;
    dialog.lpstrFilter = L"Application files (*.bin)\0*.bin\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path / sizeof path[0];
    dialog.lpstrTitle = L"Choose the application file";
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog))
        SetText(window.dialog, IDC_FILE_PATH, path);  // the edit's change notice inspects it
}

void DropFile(Window& window, HDROP drop)
{
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, 0, &path[0], length + 1);
    path.resize(length);
    DragFinish(drop);
    if (!window.running && !path.empty())
        SetText(window.dialog, IDC_FILE_PATH, path);
}

void ShowElapsed(Window& window)
{
    double seconds = std::chrono::duration<double>(Clock::now() - window.started).count();
    SetText(window.dialog, IDC_ELAPSED, std::to_wstring(static_cast<long long>(seconds)) + L" s");
}

void StartUpdate(Window& window)
{
    if (window.running)
        return;
    InspectChosenFile(window);  // the file as it is now, not as it was when chosen
    if (!IsWindowEnabled(GetDlgItem(window.dialog, IDC_UPDATE)))
        return;
    UpdateOptions options;
    options.force = Forced(window.dialog);
    options.retries = window.settings.retries;
    options.program = "torvexgui";
    options.historyPath = window.settings.historyPath;
    std::wstring busy;
    if (!window.board->Acquire("updating the board with " + AbsolutePath(window.file.path),
                               AbsolutePath(window.file.path), &busy)) {
        SetText(window.dialog, IDC_OUTCOME, busy + L" Press Update again when it has finished.");
        return;
    }

    window.running = true;
    window.started = Clock::now();
    EnableControls(window);
    SendDlgItemMessageW(window.dialog, IDC_LOG, LB_RESETCONTENT, 0, 0);
    SetText(window.dialog, IDC_OUTCOME, L"Updating the board\u2026 do not disconnect it or switch it off.");
    HWND progress = GetDlgItem(window.dialog, IDC_PROGRESS);
    ShowWindow(progress, SW_SHOW);
    SendMessageW(progress, PBM_SETMARQUEE, TRUE, 40);
    ShowElapsed(window);
    SetTimer(window.dialog, kElapsedTimer, 250, nullptr);
    window.run.Start(window.dialog, window.file, options, window.board->Calls(), window.board->LogPath());
}

void ShowRunLines(Window& window)
{
    for (const std::wstring& line : window.run.TakeLines())
        AddLine(window.dialog, IDC_LOG, line);
}

void FinishUpdate(Window& window)
{
    UpdateReport report = window.run.Finish();
    ShowRunLines(window);
    window.running = false;
    KillTimer(window.dialog, kElapsedTimer);
    HWND progress = GetDlgItem(window.dialog, IDC_PROGRESS);
    SendMessageW(progress, PBM_SETMARQUEE, FALSE, 0);
    ShowWindow(progress, SW_HIDE);
    wchar_t took[48];
    swprintf(took, sizeof took / sizeof took[0], L"took %.1f s", report.seconds);
    SetText(window.dialog, IDC_ELAPSED, took);
    SetText(window.dialog, IDC_OUTCOME, OutcomeText(window.file, report));
    ShowBoard(window);
    window.board->Release();
    ShowHistory(window);
    InspectChosenFile(window);  // the file may have changed meanwhile; re-enables the controls
    SetFocus(GetDlgItem(window.dialog, IDC_OUTCOME));
}

void Close(Window& window)
{
    if (window.running) {
        SetText(window.dialog, IDC_OUTCOME,
                L"An update is running: wait for it to end before closing this window "
                L"(stopping it half-way could leave the board without an application).");
        return;
    }
    EndDialog(window.dialog, 0);
}

void OnCommand(Window& window, int id, int notification)
{
    switch (id) {
    case IDC_REFRESH:
        ReadBoard(window);
        ShowHistory(window);
        break;
    case IDC_BROWSE:
        Browse(window);
        break;
    case IDC_FILE_PATH:
        if (notification == EN_CHANGE)
            InspectChosenFile(window);
        break;
    case IDC_FORCE:
        InspectChosenFile(window);
        break;
    case IDC_UPDATE:
    case IDOK:
        StartUpdate(window);
        break;  // Enter
    case IDCANCEL:
        Close(window);
        break;  // Esc, the Close button, the title bar's X
    default:
        break;
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        window = reinterpret_cast<Window*>(lParam);
        window->dialog = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(window));
        ShowBoard(*window);  // with the board interface taken when the module was opened
        window->board->Release();
        ShowHistory(*window);
        SetText(dialog, IDC_FILE_PATH, window->settings.file);
        InspectChosenFile(*window);
        // Typing starts in the file's field; Enter presses Update, the default button.
        SetFocus(GetDlgItem(dialog, IDC_FILE_PATH));
        return FALSE;
    case WM_COMMAND:
        OnCommand(*window, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DROPFILES:
        DropFile(*window, reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_TIMER:
        ShowElapsed(*window);
        return TRUE;
    case kRunLogLineMessage:
        ShowRunLines(*window);
        return TRUE;
    case kRunDoneMessage:
        FinishUpdate(*window);
        return TRUE;
    case WM_CLOSE:
        Close(*window);
        return TRUE;
    default:
        return FALSE;
    }
}

}  // namespace

void RunMainDialog(HINSTANCE instance, BoardLink& board, const WindowSettings& settings)
{
    Window window;
    window.board = &board;
    window.settings = settings;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc, reinterpret_cast<LPARAM>(&window));
}

}  // namespace torvexgui
