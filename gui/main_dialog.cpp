#include "main_dialog.h"

#include "control_ids.h"
#include "history/board_account.h"
#include "history_list.h"
#include "module_version.h"
#include "operator_setting.h"
#include "outcome_text.h"
#include "update_run.h"
#include "wide_text.h"
#include "torvex_version.h"
#include "window_layout.h"
#include "words/for_people.h"
#include "words/language.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace torvexgui {

namespace {

using namespace torvexupdate;
using Clock = std::chrono::steady_clock;

constexpr UINT_PTR kElapsedTimer = 1;

// What the outcome area says: nothing, what stands before Update is pressed (the file's
// refusal by its manifest, the board's unfinished update), that another program holds the
// board, or how the last run ended.
enum class Said { kNothing, kStanding, kBusy, kRun };

struct Window {
    HWND dialog = nullptr;
    BoardLink* board = nullptr;
    WindowSettings settings;
    UpdateFile file;               // as chosen: read and checked; hashed only when a manifest needs it
    ManifestVerdict fileManifest;  // the file against its manifest and the trusted keys
    ManifestVerdict manifest;      // and against the board as last read (its reference, its release)
    std::string boardReference;    // as last read ("" when it could not be)
    BoardContent boardContent;
    Said said = Said::kNothing;
    UpdateRun run;
    bool running = false;
    Clock::time_point started;
    HFONT headlineFont = nullptr;
    // The board may hold an incomplete application: said until a write of it completes.
    std::wstring boardWarning;
    std::wstring boardWarningHeadline;
    std::string incompleteWrite;  // the id of the write the warning is about
    HistoryList history;
    WindowLayout layout;
};

void SetText(HWND dialog, int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog, id, text.c_str());
}

// The controls the catalogue words; the dialog template holds their English for its layout.
struct Label {
    int id;
    Message words;
};
constexpr Label kLabels[] = {
    {IDC_BOARD_GROUP, Message::kLabelBoardGroup},
    {IDC_REFERENCE_LABEL, Message::kLabelReference},
    {IDC_APPLICATION_LABEL, Message::kLabelApplication},
    {IDC_REFRESH, Message::kLabelRefresh},
    {IDC_FILE_GROUP, Message::kLabelFileGroup},
    {IDC_FILE_LABEL, Message::kLabelFile},
    {IDC_BROWSE, Message::kLabelBrowse},
    {IDC_BANNER_LABEL, Message::kLabelBanner},
    {IDC_MANIFEST_LABEL, Message::kLabelManifest},
    {IDC_OPERATOR_LABEL, Message::kLabelOperator},
    {IDC_OPERATOR_HINT, Message::kLabelOperatorHint},
    {IDC_UPDATE, Message::kLabelUpdate},
    {IDC_FORCE, Message::kLabelForce},
    {IDC_ALLOW_UNSIGNED, Message::kLabelAllowUnsigned},
    {IDC_ALLOW_OLDER, Message::kLabelAllowOlder},
    {IDC_LOG_LABEL, Message::kLabelLog},
    {IDC_HISTORY_LABEL, Message::kLabelHistory},
    {IDC_LANGUAGE_LABEL, Message::kLabelLanguage},
    {IDCANCEL, Message::kLabelClose},
};

// The languages offered, in the order of Language, each named in its own words.
const wchar_t* const kLanguageNames[] = {L"English", L"Fran\u00E7ais"};

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

UpdateOptions OptionsOf(const Window& window)
{
    UpdateOptions options;
    options.force = Forced(window.dialog);
    options.retries = window.settings.retries;
    options.program = "torvexgui";
    options.historyPath = window.settings.historyPath;
    options.trustedKeysFolder = window.settings.trustedKeysFolder;
    options.manifest.allowUnsigned = IsDlgButtonChecked(window.dialog, IDC_ALLOW_UNSIGNED) == BST_CHECKED;
    options.manifest.allowOlder = IsDlgButtonChecked(window.dialog, IDC_ALLOW_OLDER) == BST_CHECKED;
    return options;
}

// Appends a line to the run's log (a read-only edit control, which scrolls both ways) and
// shows its start.
void AddLogLine(HWND dialog, const std::wstring& line)
{
    HWND log = GetDlgItem(dialog, IDC_LOG);
    int length = GetWindowTextLengthW(log);
    std::wstring text = (length > 0 ? L"\r\n" : L"") + line;
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    LRESULT lastLine = SendMessageW(log, EM_LINEINDEX,
                                    static_cast<WPARAM>(SendMessageW(log, EM_GETLINECOUNT, 0, 0) - 1), 0);
    SendMessageW(log, EM_SETSEL, static_cast<WPARAM>(lastLine), lastLine);
    SendMessageW(log, EM_SCROLLCARET, 0, 0);
}

// The outcome at a glance: the icon `iconId` (0 for none), a headline, then the details.
void ShowOutcome(Window& window, int iconId, const std::wstring& headline, const std::wstring& details)
{
    for (int id : {IDC_OUTCOME_SUCCESS, IDC_OUTCOME_WARNING, IDC_OUTCOME_ERROR})
        ShowWindow(GetDlgItem(window.dialog, id), id == iconId ? SW_SHOW : SW_HIDE);
    SetText(window.dialog, IDC_OUTCOME_HEADLINE, headline);
    SetText(window.dialog, IDC_OUTCOME, details);
}

int IconOf(Severity severity)
{
    switch (severity) {
    case Severity::kInformation:
        return IDC_OUTCOME_SUCCESS;
    case Severity::kWarning:
        return IDC_OUTCOME_WARNING;
    case Severity::kError:
        break;
    }
    return IDC_OUTCOME_ERROR;
}

// Reads the board with the board interface taken (no update of it runs), and what its
// account says.
void ShowBoard(Window& window)
{
    std::string& reference = window.boardReference;
    SetText(window.dialog, IDC_BOARD_REFERENCE, window.board->Reference(&reference));
    window.boardContent = window.board->Content();
    SetText(window.dialog, IDC_BOARD_APPLICATION, ApplicationText(window.boardContent));
    BoardAccount account = ReadBoardAccount(window.settings.historyPath, reference, std::nullopt);
    window.boardWarning = account.MayBeIncomplete()
        ? Words(Message::kWindowWarning, {{"warning", IncompleteWords(account, Say(Message::kNextWindowWriteAgain))}})
        : L"";
    bool interrupted = account.MayBeIncomplete()
        && FieldText(*account.lastWrite, field::kOutcome) == outcome_name::kInterrupted;
    window.boardWarningHeadline = Wide(
        Say(interrupted ? RowOf(Outcome::kInterrupted).headline : Message::kHeadlineWriteFailed));
    window.incompleteWrite = account.MayBeIncomplete() ? FieldText(*account.lastWrite, field::kId) : "";
}

// What stands before Update is pressed, over what the outcome said before: why the file's
// manifest refuses it, and the board's incomplete write (until a later write of the board
// completes: its banner may look right). Clears the outcome when neither stands.
void ShowStanding(Window& window)
{
    window.said = Said::kStanding;
    SetText(window.dialog, IDC_ELAPSED, L"");
    const std::wstring& warning = window.boardWarning;
    if (window.file.content.readable && !window.manifest.ok)
        ShowOutcome(window, IDC_OUTCOME_ERROR, RefusalHeadline(window.manifest),
                    RefusalText(window.manifest) + (warning.empty() ? L"" : L"\r\n\r\n" + warning));
    else if (!warning.empty())
        ShowOutcome(window, IDC_OUTCOME_WARNING, window.boardWarningHeadline, warning);
    else
        ShowOutcome(window, 0, L"", L"");
}

// Another program holds the board: nothing was done, and what the outcome said before no
// longer stands. An update of the board that runs is said as running, with who runs it.
void ShowBusy(Window& window, Message words, const std::string& holder)
{
    window.said = Said::kBusy;
    SetText(window.dialog, IDC_ELAPSED, L"");
    BoardAccount account = ReadBoardAccount(window.settings.historyPath, window.boardReference, window.board->Holder());
    if (account.running) {
        const OutcomeRow& running = RowOf(Outcome::kRunning);
        ShowOutcome(window, IconOf(running.severity), Wide(Say(running.headline)),
                    Wide(Say(Message::kRunningWindow,
                             {{"running", RunningWords(*account.running)},
                              {"path", FieldText(*account.running, field::kFile)}})));
        return;
    }
    ShowOutcome(window, IDC_OUTCOME_WARNING, Wide(Say(Message::kHeadlineBoardBusy)),
                Wide(Say(words, {{"holder", holder}})));
}

// The controls a user may touch: everything off while an update runs; Update only for a
// file that passes the check, or that may be forced.
void EnableControls(Window& window)
{
    bool idle = !window.running;
    const UpdateFile& file = window.file;
    bool writable = file.content.readable && file.check.verdict != FileVerdict::kEmpty;
    bool passes = writable && file.check.verdict == FileVerdict::kApplication;
    for (int id :
         {IDC_REFRESH, IDC_FILE_PATH, IDC_BROWSE, IDC_OPERATOR, IDC_FORCE, IDC_ALLOW_UNSIGNED, IDC_ALLOW_OLDER})
        EnableWindow(GetDlgItem(window.dialog, id), idle);
    EnableWindow(GetDlgItem(window.dialog, IDC_UPDATE),
                 idle && (passes || (writable && Forced(window.dialog))) && window.manifest.ok);
}

// The file's manifest against the board as last read: its reference against the boards the
// file is meant for, and the file's release against the board's version floor (which names
// the update it came from). The update checks the same again once it has read the board.
void CheckAgainstBoard(Window& window)
{
    window.manifest = window.fileManifest;
    if (window.file.content.readable) {
        BoardAccount account = ReadBoardAccount(window.settings.historyPath, window.boardReference, std::nullopt,
                                                window.fileManifest.signatureChecked);
        CheckBoardAgainstManifest(&window.manifest, window.boardReference, FloorOf(account),
                                  OptionsOf(window).manifest);
    }
    SetText(window.dialog, IDC_FILE_MANIFEST, window.file.content.readable ? ManifestText(window.manifest) : L"");
    EnableControls(window);
}

void InspectChosenFile(Window& window)
{
    std::wstring path = TextOf(window.dialog, IDC_FILE_PATH);
    // Its size and banner only: hashing a large file would hold the window for seconds. A
    // file with a manifest is hashed all the same, since the manifest pins its SHA-256.
    bool hasManifest = !path.empty()
        && GetFileAttributesW(Wide(torvexupdate::ManifestPathFor(Utf8(path))).c_str()) != INVALID_FILE_ATTRIBUTES;
    window.file = path.empty() ? UpdateFile{} : InspectFile(Utf8(path), hasManifest);
    const auto& banner = window.file.content.banner;
    SetText(window.dialog, IDC_FILE_BANNER,
            banner ? BannerText(*banner) : (window.file.content.readable ? Words(Message::kWindowBannerNone) : L""));
    SetText(window.dialog, IDC_FILE_CHECK, FileVerdictText(window.file, Forced(window.dialog)));
    window.fileManifest = window.file.content.readable ? CheckFileManifest(window.file, OptionsOf(window))
                                                       : ManifestVerdict{};
    CheckAgainstBoard(window);
}

// Reads the board under the board interface's lock, or says who holds it.
void ReadBoard(Window& window)
{
    std::string holder;
    if (!window.board->Acquire(ActivityText(Activity::kReadingBoard), "", "", &holder)) {
        ShowBusy(window, Message::kWindowBoardInUseRefresh, holder);
        return;
    }
    ShowBoard(window);
    window.board->Release();
    CheckAgainstBoard(window);
    // A run's outcome stays, unless the board's incomplete write is to be said over it.
    if (window.said != Said::kRun || !window.boardWarning.empty())
        ShowStanding(window);
}

void Browse(Window& window)
{
    wchar_t path[32768] = L"";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window.dialog;
    std::wstring filter = Words(Message::kWindowBrowseApplications) + std::wstring(L"\0*.bin\0", 7)
        + Words(Message::kWindowBrowseAll) + std::wstring(L"\0*.*\0", 5);
    std::wstring title = Words(Message::kWindowBrowseTitle);
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path / sizeof path[0];
    dialog.lpstrTitle = title.c_str();
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
    SetText(window.dialog, IDC_ELAPSED,
            Words(Message::kWindowElapsed, {{"seconds", std::to_string(static_cast<long long>(seconds))}}));
}

// The operator as typed, without spaces around it; remembered for the next run.
std::wstring OperatorName(Window& window)
{
    std::wstring name = TextOf(window.dialog, IDC_OPERATOR);
    name.erase(0, name.find_first_not_of(L" \t"));
    name.erase(name.find_last_not_of(L" \t") + 1);
    RememberOperator(name);
    return name;
}

void StartUpdate(Window& window)
{
    if (window.running)
        return;
    InspectChosenFile(window);  // the file as it is now, not as it was when chosen
    if (!IsWindowEnabled(GetDlgItem(window.dialog, IDC_UPDATE)))
        return;
    UpdateOptions options = OptionsOf(window);
    options.operatorName = Utf8(OperatorName(window));
    // The lock's words name this update, so that the history shows it as running meanwhile.
    options.updateId = NewUpdateId();
    std::string holder;
    const std::string path = AbsolutePath(window.file.path);
    if (!window.board->Acquire(ActivityText(Activity::kUpdating, path), path, options.updateId, &holder)) {
        ShowBusy(window, Message::kWindowBoardInUseUpdate, holder);
        return;
    }

    window.running = true;
    window.said = Said::kRun;
    window.started = Clock::now();
    EnableControls(window);
    SetText(window.dialog, IDC_LOG, L"");
    // The worker reads and hashes the whole file first: seconds for a large one.
    ShowOutcome(window, 0, Words(Message::kHeadlineChecking), Words(Message::kWindowChecking));
    HWND progress = GetDlgItem(window.dialog, IDC_PROGRESS);
    ShowWindow(progress, SW_SHOW);
    SendMessageW(progress, PBM_SETMARQUEE, TRUE, 40);
    ShowElapsed(window);
    SetTimer(window.dialog, kElapsedTimer, 250, nullptr);
    window.run.Start(window.dialog, window.file.path, options, window.board->Calls(), window.board->LogPath());
}

void ShowRunLines(Window& window)
{
    for (const std::wstring& line : window.run.TakeLines())
        AddLogLine(window.dialog, line);
}

void FinishUpdate(Window& window)
{
    UpdateFile file;
    UpdateReport report = window.run.Finish(&file);
    ShowRunLines(window);
    window.running = false;
    KillTimer(window.dialog, kElapsedTimer);
    HWND progress = GetDlgItem(window.dialog, IDC_PROGRESS);
    SendMessageW(progress, PBM_SETMARQUEE, FALSE, 0);
    ShowWindow(progress, SW_HIDE);
    char took[32];
    std::snprintf(took, sizeof took, "%.1f", report.seconds);
    SetText(window.dialog, IDC_ELAPSED, Words(Message::kWindowTook, {{"seconds", DecimalForPeople(took)}}));
    window.said = Said::kRun;
    ShowBoard(window);
    window.board->Release();
    // An update that wrote nothing leaves an earlier incomplete write standing: say it too
    // (an update that failed itself has said so).
    bool earlier = !window.boardWarning.empty() && window.incompleteWrite != report.id;
    ShowOutcome(window, IconOf(OutcomeSeverity(report)), OutcomeHeadline(report),
                OutcomeText(file, report) + (earlier ? L"\r\n\r\n" + window.boardWarning : L""));
    window.history.Show(window.settings.historyPath, window.board->Holder());
    InspectChosenFile(window);  // the file may have changed meanwhile; re-enables the controls
    SetFocus(GetDlgItem(window.dialog, IDC_OUTCOME));
}

void Close(Window& window)
{
    if (window.running) {
        SetText(window.dialog, IDC_OUTCOME, Words(Message::kWindowCloseWhileRunning));
        return;
    }
    OperatorName(window);
    EndDialog(window.dialog, 0);
}

void ChangeLanguage(Window& window);

void OnCommand(Window& window, int id, int notification)
{
    switch (id) {
    case IDC_REFRESH:
        ReadBoard(window);
        window.history.Show(window.settings.historyPath, window.board->Holder());
        break;
    case IDC_BROWSE:
        Browse(window);
        break;
    case IDC_FILE_PATH:
        if (notification != EN_CHANGE)
            break;
        InspectChosenFile(window);
        // Another file: the last outcome was about the one before.
        if (!window.running)
            ShowStanding(window);
        break;
    case IDC_FORCE:
    case IDC_ALLOW_UNSIGNED:
        InspectChosenFile(window);
        ShowStanding(window);  // the file's refusal may stand no more, or a run's outcome be out of date
        break;
    case IDC_ALLOW_OLDER:
        CheckAgainstBoard(window);  // the board's side only: no need to read the file again
        ShowStanding(window);
        break;
    case IDC_LANGUAGE:
        if (notification == CBN_SELCHANGE)
            ChangeLanguage(window);
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

// The window's fixed texts in the language chosen: its labels, its title with the product's
// version, and the module's version as its own file states it.
void SetLabels(Window& window)
{
    HWND dialog = window.dialog;
    for (const auto& [id, words] : kLabels)
        SetText(dialog, id, Words(words));
    std::string version = std::to_string(TORVEX_VERSION_MAJOR) + "." + std::to_string(TORVEX_VERSION_MINOR) + "."
        + std::to_string(TORVEX_VERSION_PATCH);
    SetWindowTextW(dialog, Words(Message::kWindowTitle, {{"version", version}}).c_str());
    std::wstring moduleVersion = FileVersionText(Wide(window.board->ModulePath()));
    SetText(dialog, IDC_MODULE_VERSION,
            moduleVersion.empty() ? Words(Message::kWindowModuleVersionUnknown)
                                  : Words(Message::kWindowModuleVersion, {{"version", Utf8(moduleVersion)}}));
}

// Another language chosen in the window: remembered for the next run, and every text that
// stands now said again in it. A run's outcome already shown stays as it was said.
void ChangeLanguage(Window& window)
{
    LRESULT chosen = SendDlgItemMessageW(window.dialog, IDC_LANGUAGE, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || chosen >= static_cast<LRESULT>(std::size(kLanguageNames)))
        return;
    Language language = static_cast<Language>(chosen);
    UseLanguage(language);
    RememberLanguage(language);
    SetLabels(window);
    SetText(window.dialog, IDC_BOARD_APPLICATION, ApplicationText(window.boardContent));
    window.history.Show(window.settings.historyPath, window.board->Holder());
    if (window.running)
        return;
    InspectChosenFile(window);
    if (window.said != Said::kRun)
        ShowStanding(window);
}

void SetUpControls(Window& window)
{
    HWND dialog = window.dialog;
    const std::pair<int, LPCWSTR> icons[] = {
        {IDC_OUTCOME_SUCCESS, IDI_INFORMATION}, {IDC_OUTCOME_WARNING, IDI_WARNING}, {IDC_OUTCOME_ERROR, IDI_ERROR}};
    for (const auto& [id, icon] : icons)
        SendDlgItemMessageW(dialog, id, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, icon)), 0);
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfWeight = FW_BOLD;
    window.headlineFont = CreateFontIndirectW(&font);
    SendDlgItemMessageW(dialog, IDC_OUTCOME_HEADLINE, WM_SETFONT, reinterpret_cast<WPARAM>(window.headlineFont), FALSE);
    SendDlgItemMessageW(dialog, IDC_LOG, EM_SETLIMITTEXT, 0, 0);  // no limit: the module's lines may be many
    SendDlgItemMessageW(dialog, IDC_OPERATOR, EM_SETLIMITTEXT, 100, 0);
    SetText(dialog, IDC_OPERATOR, RememberedOperator());
    HWND languages = GetDlgItem(dialog, IDC_LANGUAGE);
    for (const wchar_t* name : kLanguageNames)
        SendMessageW(languages, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageW(languages, CB_SETCURSEL, static_cast<WPARAM>(CurrentLanguage()), 0);
    SetLabels(window);
    window.history.Attach(dialog);
    window.layout.Remember(dialog);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        window = reinterpret_cast<Window*>(lParam);
        window->dialog = dialog;
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(window));
        SetUpControls(*window);
        ShowBoard(*window);  // with the board interface taken when the module was opened
        window->board->Release();
        window->history.Show(window->settings.historyPath, window->board->Holder());
        SetText(dialog, IDC_FILE_PATH, window->settings.file);  // its change notice inspects it
        ShowStanding(*window);
        // Typing starts in the file's field; Enter presses Update, the default button.
        SetFocus(GetDlgItem(dialog, IDC_FILE_PATH));
        return FALSE;
    case WM_COMMAND:
        OnCommand(*window, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
        if (window != nullptr && notice->idFrom == IDC_HISTORY && notice->code == LVN_COLUMNCLICK)
            window->history.SortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        return TRUE;
    }
    case WM_SIZE:
        if (window != nullptr && wParam != SIZE_MINIMIZED)
            window->layout.Follow(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (window != nullptr && window->layout.Smallest().x > 0)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = window->layout.Smallest();
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
    case kRunCheckedMessage:
        ShowOutcome(*window, 0, Words(Message::kHeadlineUpdating), Words(Message::kWindowUpdating));
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
    if (window.headlineFont != nullptr)
        DeleteObject(window.headlineFont);
}

}  // namespace torvexgui
