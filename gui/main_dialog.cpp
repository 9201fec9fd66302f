#include "main_dialog.h"

#include "control_ids.h"
#include "history/history.h"
#include "history/history_view.h"
#include "operator_setting.h"
#include "history/history_attempts.h"
#include "outcome_text.h"
#include "engine/update_record.h"
#include "update_run.h"
#include "wide_text.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace torvexgui {

namespace {

using namespace torvexupdate;
using Clock = std::chrono::steady_clock;

constexpr UINT_PTR kElapsedTimer = 1;
constexpr std::size_t kHistoryShown = 1000;

// "2026-12-08T20:46:30+01:00" (local, as the history's time column gives it) -> "2026-12-08 20:46:30".
std::string ListTime(const std::string& iso)
{
    if (iso.size() < 19 || iso[10] != 'T')
        return iso;
    std::string shown = iso.substr(0, 19);
    shown[10] = ' ';
    return shown;
}

// The history list's columns: the history's own (history_view.h), some shortened.
struct ListColumn {
    const wchar_t* heading;
    const char* column;
    std::string (*shown)(const std::string&);  // null: the column's text as it is
};
const ListColumn kListColumns[] = {
    {L"Time", "time", ListTime},         {L"Board", "board", nullptr},       {L"Outcome", "outcome", nullptr},
    {L"File", "file", RecordedFileName}, {L"Operator", "operator", nullptr}, {L"Banner after", "banner after", nullptr},
};

struct HistoryRow {
    std::vector<std::wstring> cells;  // one per kListColumns
    long long time = -1;              // seconds since 1970, for sorting; -1 when unknown
};

// How a control follows the window's size: the share of the width and height gained that
// moves it and that widens or heightens it. The log and the history share the height.
struct Anchor {
    int id;
    float moveX, moveY, growX, growY;
};
// clang-format off
const Anchor kAnchors[] = {
    {IDC_BOARD_GROUP, 0, 0, 1, 0},
    {IDC_BOARD_REFERENCE, 0, 0, 1, 0},
    {IDC_BOARD_APPLICATION, 0, 0, 1, 0},
    {IDC_REFRESH, 1, 0, 0, 0},
    {IDC_FILE_GROUP, 0, 0, 1, 0},
    {IDC_FILE_PATH, 0, 0, 1, 0},
    {IDC_BROWSE, 1, 0, 0, 0},
    {IDC_FILE_BANNER, 0, 0, 1, 0},
    {IDC_FILE_CHECK, 0, 0, 1, 0},
    {IDC_FILE_MANIFEST, 0, 0, 1, 0},
    {IDC_FORCE, 0, 0, 1, 0},
    {IDC_ALLOW_UNSIGNED, 0, 0, 1, 0},
    {IDC_PROGRESS, 0, 0, 1, 0},
    {IDC_ELAPSED, 1, 0, 0, 0},
    {IDC_OUTCOME_HEADLINE, 0, 0, 1, 0},
    {IDC_OUTCOME, 0, 0, 1, 0},
    {IDC_LOG, 0, 0, 1, 0.5f},
    {IDC_HISTORY_LABEL, 0, 0.5f, 0, 0},
    {IDC_HISTORY_NOTE, 0, 0.5f, 1, 0},
    {IDC_HISTORY, 0, 0.5f, 1, 0.5f},
    {IDCANCEL, 1, 1, 0, 0},
};
// clang-format on

struct Window {
    HWND dialog = nullptr;
    BoardLink* board = nullptr;
    WindowSettings settings;
    UpdateFile file;           // as chosen: read and checked; hashed only when a manifest needs it
    ManifestVerdict manifest;  // the file against its manifest and the trusted keys
    UpdateRun run;
    bool running = false;
    Clock::time_point started;
    HFONT headlineFont = nullptr;
    std::wstring boardWarning;  // the board's newest update did not finish: said until one does
    std::vector<HistoryRow> history;
    int sortColumn = 0;  // newest first when the window opens
    bool sortAscending = false;
    SIZE initialClient = {};
    POINT smallest = {};                    // the window's size as the template makes it: it gets no smaller
    RECT placed[std::size(kAnchors)] = {};  // each anchored control at the initial size
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

UpdateOptions OptionsOf(const Window& window)
{
    UpdateOptions options;
    options.force = Forced(window.dialog);
    options.retries = window.settings.retries;
    options.program = "torvexgui";
    options.historyPath = window.settings.historyPath;
    options.trustedKeysFolder = window.settings.trustedKeysFolder;
    options.manifest.allowUnsigned = IsDlgButtonChecked(window.dialog, IDC_ALLOW_UNSIGNED) == BST_CHECKED;
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
    case Severity::kSuccess:
        return IDC_OUTCOME_SUCCESS;
    case Severity::kWarning:
        return IDC_OUTCOME_WARNING;
    case Severity::kError:
        break;
    }
    return IDC_OUTCOME_ERROR;
}

void ShowBoard(Window& window)
{
    std::string reference;
    SetText(window.dialog, IDC_BOARD_REFERENCE, window.board->Reference(&reference));
    SetText(window.dialog, IDC_BOARD_APPLICATION, window.board->Application());
    BoardHistory standing = BoardHistoryOf(window.settings.historyPath, reference, UpdateFile());
    window.boardWarning.clear();
    if (standing.interrupted)
        window.boardWarning = L"Warning: "
            + Wide(InterruptedWords(*standing.interrupted,
                                    "choose the application file and press Update to write it again before "
                                    "using the board."));
}

// Said first, over what the outcome said before, until a later update of the board ends:
// the board's banner may look right.
void ShowBoardWarning(Window& window)
{
    if (!window.boardWarning.empty())
        ShowOutcome(window, IDC_OUTCOME_WARNING, L"The last update of this board did not finish", window.boardWarning);
}

// Reads the board under the board interface's lock, or says who holds it.
void ReadBoard(Window& window)
{
    std::wstring busy;
    if (!window.board->Acquire("reading the board", "", &busy)) {
        ShowOutcome(window, IDC_OUTCOME_WARNING, L"The board is busy", busy + L" Press Refresh when it has finished.");
        return;
    }
    ShowBoard(window);
    window.board->Release();
    ShowBoardWarning(window);
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM self)
{
    const Window& window = *reinterpret_cast<const Window*>(self);
    const HistoryRow& a = window.history[static_cast<std::size_t>(first)];
    const HistoryRow& b = window.history[static_cast<std::size_t>(second)];
    int order = window.sortColumn == 0
        ? (a.time < b.time       ? -1
               : a.time > b.time ? 1
                                 : 0)
        : CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.cells[window.sortColumn].c_str(), -1,
                         b.cells[window.sortColumn].c_str(), -1)
            - CSTR_EQUAL;
    if (order == 0)
        order = a.time < b.time ? 1 : a.time > b.time ? -1 : 0;  // then newest first
    else if (!window.sortAscending)
        order = -order;
    return order;
}

// Sorts the history list by its sort column, and marks that column's heading.
void SortHistory(Window& window)
{
    HWND list = GetDlgItem(window.dialog, IDC_HISTORY);
    SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&window), reinterpret_cast<LPARAM>(CompareRows));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == window.sortColumn)
            item.fmt |= window.sortAscending ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

// A click on a column's heading sorts by it; a second click turns the order round. Times
// start newest first, words from A.
void SortHistoryBy(Window& window, int column)
{
    window.sortAscending = column == window.sortColumn ? !window.sortAscending : column != 0;
    window.sortColumn = column;
    SortHistory(window);
}

void AddHistoryColumns(Window& window)
{
    HWND list = GetDlgItem(window.dialog, IDC_HISTORY);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kListColumns[i].heading);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void ShowHistory(Window& window)
{
    HWND list = GetDlgItem(window.dialog, IDC_HISTORY);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    window.history.clear();
    History history = ReadHistory(window.settings.historyPath);
    // One row an attempt: a started record without its outcome shows as interrupted.
    std::vector<Record> attempts = Attempts(history.records);
    for (std::size_t shown = 0; shown < kHistoryShown && shown < attempts.size(); ++shown) {
        const Record& record = attempts[attempts.size() - 1 - shown];
        HistoryRow row;
        for (const ListColumn& column : kListColumns) {
            std::string text = FindHistoryColumn(column.column)->text(record);
            row.cells.push_back(Wide(column.shown != nullptr ? column.shown(text) : text));
        }
        auto time = record.find("time");
        if (time == record.end() || !time->is_string() || !ParseRecordTime(time->get<std::string>(), &row.time))
            row.time = -1;
        window.history.push_back(row);

        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(shown);
        item.lParam = static_cast<LPARAM>(shown);
        item.pszText = const_cast<wchar_t*>(window.history.back().cells[0].c_str());
        int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int i = 1; i < static_cast<int>(std::size(kListColumns)); ++i) {
            LVITEMW cell = {};
            cell.iSubItem = i;
            cell.pszText = const_cast<wchar_t*>(window.history.back().cells[static_cast<std::size_t>(i)].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
        }
    }
    SortHistory(window);
    // Each column as wide as its widest text or its heading (with room for the sort arrow).
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE);
        LRESULT content = window.history.empty() ? 0
                                                 : SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        LRESULT heading = SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(kListColumns[i].heading))
            + 2 * GetSystemMetrics(SM_CXSMICON);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), std::max(content, heading));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);

    std::wstring note;
    std::wstring path = Wide(window.settings.historyPath);
    if (!history.error.empty())
        note = Wide(history.error);
    else if (!history.warnings.empty())
        note = L"(" + std::to_wstring(history.warnings.size()) + L" damaged or incomplete line(s) skipped in " + path
            + L")";
    else if (history.records.empty())
        note = L"(no update recorded yet in " + path + L")";
    else if (attempts.size() > kHistoryShown)
        note = L"(the newest " + std::to_wstring(kHistoryShown) + L" of " + std::to_wstring(attempts.size())
            + L" updates)";
    SetText(window.dialog, IDC_HISTORY_NOTE, note);
    // One row an attempt: a started record without its outcome shows as interrupted.
}

// The controls a user may touch: everything off while an update runs; Update only for a
// file that passes the check, or that may be forced.
void EnableControls(Window& window)
{
    bool idle = !window.running;
    const UpdateFile& file = window.file;
    bool writable = file.content.readable && file.check.verdict != FileVerdict::kEmpty;
    bool passes = writable && file.check.verdict == FileVerdict::kApplication;
    for (int id : {IDC_REFRESH, IDC_FILE_PATH, IDC_BROWSE, IDC_OPERATOR, IDC_FORCE, IDC_ALLOW_UNSIGNED})
        EnableWindow(GetDlgItem(window.dialog, id), idle);
    EnableWindow(GetDlgItem(window.dialog, IDC_UPDATE),
                 idle && (passes || (writable && Forced(window.dialog))) && window.manifest.ok);
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
            banner ? FromCp1252(torvexupdate::BannerLine(*banner))
                   : (window.file.content.readable
                          ? L"(none: the module reads a banner only from files of 58 bytes or more)"
                          : L""));
    SetText(window.dialog, IDC_FILE_CHECK, FileVerdictText(window.file, Forced(window.dialog)));
    window.manifest = window.file.content.readable ? CheckFileManifest(window.file, OptionsOf(window))
                                                   : ManifestVerdict{};
    SetText(window.dialog, IDC_FILE_MANIFEST, window.file.content.readable ? ManifestText(window.manifest) : L"");
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
    std::wstring busy;
    if (!window.board->Acquire("updating the board with " + AbsolutePath(window.file.path),
                               AbsolutePath(window.file.path), &busy)) {
        ShowOutcome(window, IDC_OUTCOME_WARNING, L"The board is busy",
                    busy + L" Press Update again when it has finished.");
        return;
    }

    window.running = true;
    window.started = Clock::now();
    EnableControls(window);
    SetText(window.dialog, IDC_LOG, L"");
    // The worker reads and hashes the whole file first: seconds for a large one.
    ShowOutcome(window, 0, L"Checking the file\u2026",
                L"Reading the file and taking its SHA-256 before anything is written to the board.");
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
    wchar_t took[48];
    swprintf(took, sizeof took / sizeof took[0], L"took %.1f s", report.seconds);
    SetText(window.dialog, IDC_ELAPSED, took);
    ShowBoard(window);
    window.board->Release();
    // An update refused before it wrote leaves an earlier interruption standing: say it too.
    ShowOutcome(window, IconOf(OutcomeSeverity(report)), OutcomeHeadline(report),
                OutcomeText(file, report) + (window.boardWarning.empty() ? L"" : L"\r\n\r\n" + window.boardWarning));
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
    OperatorName(window);
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
        if (notification != EN_CHANGE)
            break;
        // Another file: the last outcome was about the one before.
        if (!window.running) {
            ShowOutcome(window, 0, L"", L"");
            ShowBoardWarning(window);
            SetText(window.dialog, IDC_ELAPSED, L"");
        }
        InspectChosenFile(window);
        break;
    case IDC_FORCE:
    case IDC_ALLOW_UNSIGNED:
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

void RememberLayout(Window& window)
{
    RECT client;
    GetClientRect(window.dialog, &client);
    window.initialClient = {client.right, client.bottom};
    RECT frame;
    GetWindowRect(window.dialog, &frame);
    window.smallest = {frame.right - frame.left, frame.bottom - frame.top};
    for (std::size_t i = 0; i < std::size(kAnchors); ++i) {
        GetWindowRect(GetDlgItem(window.dialog, kAnchors[i].id), &window.placed[i]);
        MapWindowPoints(nullptr, window.dialog, reinterpret_cast<POINT*>(&window.placed[i]), 2);
    }
}

void FollowSize(Window& window, int width, int height)
{
    int dx = width - window.initialClient.cx;
    int dy = height - window.initialClient.cy;
    HDWP moves = BeginDeferWindowPos(static_cast<int>(std::size(kAnchors)));
    for (std::size_t i = 0; i < std::size(kAnchors) && moves != nullptr; ++i) {
        const Anchor& anchor = kAnchors[i];
        const RECT& at = window.placed[i];
        moves = DeferWindowPos(moves, GetDlgItem(window.dialog, anchor.id), nullptr,
                               at.left + static_cast<int>(anchor.moveX * static_cast<float>(dx)),
                               at.top + static_cast<int>(anchor.moveY * static_cast<float>(dy)),
                               at.right - at.left + static_cast<int>(anchor.growX * static_cast<float>(dx)),
                               at.bottom - at.top + static_cast<int>(anchor.growY * static_cast<float>(dy)),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (moves != nullptr)
        EndDeferWindowPos(moves);
    InvalidateRect(window.dialog, nullptr, TRUE);
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
    AddHistoryColumns(window);
    RememberLayout(window);
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
        ShowHistory(*window);
        SetText(dialog, IDC_FILE_PATH, window->settings.file);
        InspectChosenFile(*window);
        ShowBoardWarning(*window);
        // Typing starts in the file's field; Enter presses Update, the default button.
        SetFocus(GetDlgItem(dialog, IDC_FILE_PATH));
        return FALSE;
    case WM_COMMAND:
        OnCommand(*window, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
        if (window != nullptr && notice->idFrom == IDC_HISTORY && notice->code == LVN_COLUMNCLICK)
            SortHistoryBy(*window, reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        return TRUE;
    }
    case WM_SIZE:
        if (window != nullptr && wParam != SIZE_MINIMIZED)
            FollowSize(*window, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        if (window != nullptr && window->smallest.x > 0)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = window->smallest;
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
        ShowOutcome(*window, 0, L"Updating the board\u2026",
                    L"Updating the board\u2026 do not disconnect it or switch it off.");
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
