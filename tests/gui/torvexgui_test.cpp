// torvexgui as a person uses it, driven from this process through the Win32 API: the
// window found by its title, controls by their IDs, the file typed into its field, Update
// pressed, the outcome waited for and read (its icon, headline and details, whole at the
// default size), the history list read and sorted, the window resized, against the
// simulated board with faults injected through its configuration file.
#include "manifest/manifest_check.h"
#include "module/board_lock.h"
#include "control_ids.h"
#include "gui_test_paths.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "test_paths.h"
#include "torvex_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#undef CopyFile  // the system's macro would hide the test helper

using testing_support::AnyLineHolds;
using testing_support::ApplicationImage;
using testing_support::Contains;
using testing_support::CopyFile;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());  // the paths here are plain ASCII
}

// The window of a torvexgui process started in a folder laid out like the release.
class GuiSession {
public:
    explicit GuiSession(const std::string& folder, const std::string& history, const std::wstring& options = L"")
    {
        std::wstring command = L"\"" + Wide(folder) + L"\\torvexgui.exe\" --history \"" + Wide(history) + L"\" "
            + options;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_))
            return;
        for (int waited = 0; waited < 1200 && window_ == nullptr; ++waited) {
            EnumWindows(FindOwn, reinterpret_cast<LPARAM>(this));
            if (window_ == nullptr)
                Sleep(100);
        }
    }
    ~GuiSession()
    {
        if (process_.hProcess == nullptr)
            return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }

    HWND Window() const { return window_; }
    // The text of a message box shown instead of the window ("" when it is the window).
    std::string Message() const
    {
        if (window_ == nullptr || Control(IDC_UPDATE) != nullptr)
            return "";
        wchar_t text[4096] = L"";
        GetDlgItemTextW(window_, 0xFFFF, text, 4096);
        return Narrow(text);
    }
    HWND Control(int id) const { return GetDlgItem(window_, id); }

    std::string Text(int id) const
    {
        std::wstring text(static_cast<std::size_t>(SendMessageW(Control(id), WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        SendMessageW(Control(id), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
        return Narrow(text.c_str());
    }
    std::vector<std::string> Lines(int id) const { return testing_support::SplitLines(Text(id)); }
    std::string Title() const
    {
        wchar_t title[256] = L"";
        GetWindowTextW(window_, title, 256);
        return Narrow(title);
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    // The outcome icon shown: its control's ID, 0 when none is.
    int OutcomeIcon() const
    {
        int shown = 0;
        for (int id : {IDC_OUTCOME_SUCCESS, IDC_OUTCOME_WARNING, IDC_OUTCOME_ERROR})
            if (Visible(id) && SendMessageW(Control(id), STM_GETICON, 0, 0) != 0)
                shown = shown == 0 ? id : -1;  // two at once: wrong
        return shown;
    }

    // True when the multi-line edit `id` shows all of its text without scrolling.
    bool ShowsWhole(int id) const
    {
        HWND edit = Control(id);
        auto lines = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
        if (SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) != 0)
            return false;
        if (lines < 2)
            return true;
        auto top = [&](int line) {
            auto at = static_cast<WPARAM>(SendMessageW(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0));
            return static_cast<short>(HIWORD(SendMessageW(edit, EM_POSFROMCHAR, at, 0)));
        };
        RECT client;
        GetClientRect(edit, &client);
        return top(lines - 1) + (top(lines - 1) - top(0)) / (lines - 1) <= client.bottom;
    }
    // True when the text of control `id` (a label, a check box's, in bold for the
    // headline) fits its width on one line, in the dialog's font.
    bool OnOneLine(int id, bool bold = false) const
    {
        wchar_t label[512] = L"";
        SendMessageW(Control(id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(label));
        std::wstring text = label;
        text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());  // the mnemonic's mark
        HDC screen = GetDC(nullptr);
        LOGFONTW font = {};
        font.lfHeight = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
        font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
        wcscpy(font.lfFaceName, L"MS Shell Dlg 2");
        HFONT made = CreateFontIndirectW(&font);
        HGDIOBJ before = SelectObject(screen, made);
        SIZE size = {};
        GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(screen, before);
        DeleteObject(made);
        ReleaseDC(nullptr, screen);
        bool checkBox = (GetWindowLongW(Control(id), GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        RECT client;
        GetClientRect(Control(id), &client);
        return size.cx + (checkBox ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 0) <= client.right;
    }
    // History rows the list shows without scrolling.
    int RowsShown() const { return static_cast<int>(SendMessageW(Control(IDC_HISTORY), LVM_GETCOUNTPERPAGE, 0, 0)); }

    // The history list's headings and rows, read through memory lent in the window's process
    // (a list view's messages carry pointers that do not cross processes).
    std::vector<std::string> ListHeadings() const { return ReadList(true); }
    std::vector<std::vector<std::string>> ListRows() const
    {
        std::vector<std::string> cells = ReadList(false);
        std::size_t columns = ListHeadings().size();
        std::vector<std::vector<std::string>> rows;
        for (std::size_t i = 0; columns > 0 && i + columns <= cells.size(); i += columns)
            rows.emplace_back(cells.begin() + static_cast<long>(i), cells.begin() + static_cast<long>(i + columns));
        return rows;
    }
    // Clicks the heading of the history's column `column`.
    void ClickHeading(int column) const
    {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Control(IDC_HISTORY), LVM_GETHEADER, 0, 0));
        int x = 0;  // the middle of the heading, away from the dividers that resize columns
        for (int i = 0; i <= column; ++i) {
            int width = static_cast<int>(
                SendMessageW(Control(IDC_HISTORY), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
            x += i < column ? width : width / 2;
        }
        SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 4));
        SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 4));
    }

    void ChooseFile(const std::string& path) const
    {
        std::wstring wide = Wide(path);
        SendMessageW(Control(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    void Press(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    void Type(int id, const std::string& text) const
    {
        std::wstring wide = Wide(text);
        SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }

    // Presses Update and waits until the run has ended: the outcome text is the run's.
    // `firstHeadline`: the headline as soon as the button was pressed.
    std::string Update(std::string* firstHeadline = nullptr) const
    {
        Press(IDC_UPDATE);
        if (firstHeadline != nullptr)
            *firstHeadline = Text(IDC_OUTCOME_HEADLINE);
        for (int waited = 0; waited < 1200; ++waited) {
            if (Enabled(IDC_REFRESH) && Text(IDC_OUTCOME).rfind("Updating", 0) != 0
                && Text(IDC_OUTCOME).rfind("Mise à jour de la carte", 0) != 0)
                return Text(IDC_OUTCOME);
            Sleep(100);
        }
        return "(the update did not end within two minutes)";
    }

    // Ends the program at once, as a crash or a technician's kill would.
    void Kill() const
    {
        TerminateProcess(process_.hProcess, 9);
        WaitForSingleObject(process_.hProcess, 60000);
    }

    // Closes the window as Esc does; the process's exit status.
    DWORD Close() const
    {
        SendMessageW(window_, WM_COMMAND, IDCANCEL, 0);
        DWORD status = 259;
        if (WaitForSingleObject(process_.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process_.hProcess, &status);
        return status;
    }

private:
    std::vector<std::string> ReadList(bool headings) const
    {
        HWND list = Control(IDC_HISTORY);
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        int columns = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
        int rows = headings ? 1 : static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        const SIZE_T size = 64 * 1024;
        auto* remote = static_cast<char*>(
            VirtualAllocEx(process_.hProcess, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        std::vector<std::string> cells;
        auto* remoteText = reinterpret_cast<wchar_t*>(remote + 1024);
        for (int row = 0; remote != nullptr && row < rows; ++row)
            for (int column = 0; column < columns; ++column) {
                if (headings) {
                    LVCOLUMNW item = {};
                    item.mask = LVCF_TEXT;
                    item.pszText = remoteText;
                    item.cchTextMax = 1024;
                    WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr);
                    SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote));
                } else {
                    LVITEMW item = {};
                    item.iSubItem = column;
                    item.pszText = remoteText;
                    item.cchTextMax = 1024;
                    WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr);
                    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
                }
                wchar_t text[1024] = L"";
                ReadProcessMemory(process_.hProcess, remoteText, text, sizeof text - sizeof text[0], nullptr);
                cells.push_back(Narrow(text));
            }
        if (remote != nullptr)
            VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
        return cells;
    }

    static std::string Narrow(const std::wstring& text)
    {
        int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], length, nullptr, nullptr);
        utf8.resize(utf8.size() - 1);
        return utf8;
    }
    static BOOL CALLBACK FindOwn(HWND window, LPARAM self)
    {
        auto* session = reinterpret_cast<GuiSession*>(self);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t title[128] = L"";
        GetWindowTextW(window, title, 128);
        // Visible only once its initialisation (the board read) is over.
        if (process != session->process_.dwProcessId || std::wstring(title).rfind(TORVEXGUI_TITLE, 0) != 0
            || !IsWindowVisible(window))
            return TRUE;
        session->window_ = window;
        return FALSE;
    }

    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};

struct Case {
    const char* name;
    const char* file;        // in the workspace
    const char* simConfig;   // the simulator's fault injection for this run
    const char* outcome;     // the start of the outcome text
    const char* boardAfter;  // part of the board's application shown after the run
    const char* recorded;    // outcome name in the history
    int icon;                // the outcome's icon
    const char* headline;
    const char* listed;    // the outcome as the list words it
    bool incompleteAfter;  // the board may hold an incomplete application after it
};

// In order, on one board: each case starts from the board the previous one left. big.bin
// carries the sample's banner in 48 MB: reading and hashing it keeps the "checking" state
// on screen long enough to be seen.
const Case kCases[] = {
    {"good file on an empty board, a large one", "big.bin", "", "Done: the board now runs",
     "TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA | 20261208", "accepted", IDC_OUTCOME_SUCCESS,
     "Update done: the board runs the new application", "accepted", false},
    {"the same application again", "big.bin", "", "Nothing written: the board already carries", "TORVEX-SAMPLE1",
     "skipped", IDC_OUTCOME_SUCCESS, "Nothing to do: the board already carries this application", "skipped", false},
    {"failed download", "other.bin", "[command.30]\nresult = 0\ncom = 50\n",
     "The download failed: download failed (-1). Nothing was changed", "TORVEX-SAMPLE1", "failed", IDC_OUTCOME_ERROR,
     "Update failed: the board is unchanged", "failed", true},
    // Writes nothing: the failed write before it stays said.
    {"refused by the board", "other.bin", "[command.30]\nresult = 0\ncom = 19\n",
     "Refused by the board: refused by the board (-2)", "TORVEX-SAMPLE1", "refused", IDC_OUTCOME_ERROR,
     "Refused by the board: the board is unchanged", "refused: board", true},
    {"start failure", "other.bin", "[command.12]\nresult = 0\n", "Written but not started", "OTHER-APP", "failed",
     IDC_OUTCOME_ERROR, "Update failed: written but not started", "failed", true},
};

const char* const kOperatorKey = "Software\\torvex";

std::string RememberedOperator()
{
    char name[256] = "";
    DWORD size = sizeof name;
    if (RegGetValueA(HKEY_CURRENT_USER, kOperatorKey, "Operator", RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS)
        return "(none)";
    return name;
}

// A folder laid out like the release's bin/: the window, the module and the simulated board.
void LayOut(const ScratchFolder& folder, const std::string& simConfig = "")
{
    std::filesystem::create_directories(folder.File("simulator"));
    CopyFile(GUI_TEST_PROGRAM, folder.File("torvexgui.exe"));
    CopyFile(TORVEX_HOST_MODULE_FILE, folder.File("torvex.dll"));
    CopyFile(TORVEX_HOST_SIM_FILE, folder.File("simulator\\quelvane.dll"));
    WriteFile(folder.File("torvex.ini"), "[TorvexPath]\r\nQuelvanePath=simulator\r\n");
    WriteFile(folder.File("simulator\\quelvane-sim.ini"), simConfig);
}

RECT Placed(HWND control)
{
    RECT rect = {};
    GetWindowRect(control, &rect);
    return rect;
}

TEST(TorvexGui, UpdatesAsAPersonWouldAgainstTheSimulatedBoard)
{
    ScratchFolder folder("gui");
    LayOut(folder);
    CopyFile(GUI_TEST_SAMPLE_FILE, folder.File("sample.bin"));
    WriteFile(folder.File("big.bin"), ReadFile(folder.File("sample.bin")) + std::string(48 << 20, 'b'));
    WriteFile(folder.File("other.bin"),
              ApplicationImage({"OTHER-APP", "APP 2.0.0", "RUNTIM", "BOARDA", "20261209"}, std::string(200, 'b')));
    WriteFile(folder.File("tiny.bin"), "0123456789");
    // An update of this board that never finished, then a last line cut off by a power
    // cut: skipped, and no obstacle to appends.
    std::string history = folder.File("history.jsonl");
    WriteFile(history,
              "{\"record\":\"started\",\"id\":\"k\",\"time\":\"2026-12-01T07:00:00Z\",\"program\":\"torvexctl\","
              "\"file\":\"C:\\\\killed.bin\",\"board\":\"SIM-BOARD-0001\"}\n"
              "{\"time\":\"2026-12-01T08:00:00Z\",\"outcome\":\"acce");

    // No operator remembered or in the environment: the field starts empty.
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kOperatorKey, "Operator");
    _putenv_s("TORVEX_OPERATOR", "");

    GuiSession gui(folder.Path(), history);
    ASSERT_NE(gui.Window(), nullptr) << "the window did not appear";
    ASSERT_EQ(gui.Message(), "");
    EXPECT_EQ(gui.Text(IDC_BOARD_REFERENCE), "SIM-BOARD-0001");
    EXPECT_EQ(gui.Text(IDC_BOARD_APPLICATION), "no application in flash");
    // At the default size: the product's version and the module's, the check boxes' labels
    // on one line, five rows of history.
    EXPECT_EQ(gui.Title(),
              "Torvex board update " + std::to_string(TORVEX_VERSION_MAJOR) + "." + std::to_string(TORVEX_VERSION_MINOR)
                  + "." + std::to_string(TORVEX_VERSION_PATCH));
    EXPECT_EQ(gui.Text(IDC_MODULE_VERSION), "Module: torvex.dll " TORVEX_VERSION_TEXT);
    for (int id : {IDC_FORCE, IDC_ALLOW_UNSIGNED, IDC_ALLOW_OLDER})
        EXPECT_TRUE(gui.OnOneLine(id)) << gui.Text(id);
    EXPECT_GE(gui.RowsShown(), 5);
    EXPECT_TRUE(Contains(gui.Text(IDC_HISTORY_NOTE), "1 damaged or incomplete line(s) skipped"));
    EXPECT_EQ(gui.ListHeadings(),
              (std::vector<std::string>{"Time", "Board", "Outcome", "File", "Operator", "Banner after"}));
    ASSERT_EQ(gui.ListRows().size(), 1u);
    EXPECT_EQ(gui.ListRows()[0][1], "SIM-BOARD-0001");
    EXPECT_EQ(gui.ListRows()[0][2], "interrupted");
    EXPECT_EQ(gui.OutcomeIcon(), IDC_OUTCOME_WARNING);
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "The last write into this board did not finish");
    EXPECT_EQ(gui.Text(IDC_OUTCOME)
                  .rfind("Warning: the last write into board SIM-BOARD-0001 did not finish: "
                         "torvexctl started writing C:\\killed.bin into it at 2026-12-01T07:00:00Z",
                         0),
              0u)
        << gui.Text(IDC_OUTCOME);
    EXPECT_EQ(gui.Text(IDC_OPERATOR), "");
    gui.Type(IDC_OPERATOR, "Ann Lee");

    // A file that fails the check: Update stays off until Force is ticked, with a warning.
    gui.ChooseFile(folder.File("tiny.bin"));
    EXPECT_TRUE(
        Contains(gui.Text(IDC_FILE_CHECK), "Not an application file: it is 10 bytes long: the module reads a banner"));
    EXPECT_FALSE(gui.Enabled(IDC_UPDATE));
    gui.Press(IDC_FORCE);
    EXPECT_TRUE(gui.Enabled(IDC_UPDATE));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "Warning: Force is ticked"));
    gui.Press(IDC_FORCE);
    EXPECT_FALSE(gui.Enabled(IDC_UPDATE));

    // The board's warning, until a write of it completes.
    std::string warning = "The last write into this board did not finish";
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder.File("simulator\\quelvane-sim.ini"), c.simConfig);
        gui.ChooseFile(folder.File(c.file));
        // Another file: the last outcome is gone, but for the board's incomplete write.
        EXPECT_EQ(gui.OutcomeIcon(), warning.empty() ? 0 : IDC_OUTCOME_WARNING);
        EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), warning);
        EXPECT_EQ(gui.Text(IDC_OUTCOME).empty(), warning.empty());
        bool wasIncomplete = !warning.empty();
        ASSERT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "passes the check"));
        ASSERT_TRUE(gui.Enabled(IDC_UPDATE));
        std::string firstHeadline;
        std::string outcome = gui.Update(&firstHeadline);
        if (std::string(c.file) == "big.bin") {
            EXPECT_EQ(firstHeadline, "Checking the file\u2026");
            EXPECT_EQ(gui.Text(IDC_FILE_BANNER), "TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA | 20261208");
        }
        EXPECT_EQ(outcome.rfind(c.outcome, 0), 0u) << outcome;
        // After an update that wrote nothing, the earlier incomplete write is said too.
        EXPECT_EQ(Contains(outcome, "Warning: the last write into board"),
                  wasIncomplete && std::string(c.recorded) == "refused")
            << outcome;
        warning = c.incompleteAfter ? "The last write into this board failed" : "";
        EXPECT_EQ(gui.OutcomeIcon(), c.icon);
        EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), c.headline);
        EXPECT_TRUE(Contains(gui.Text(IDC_BOARD_APPLICATION), c.boardAfter)) << gui.Text(IDC_BOARD_APPLICATION);
        EXPECT_TRUE(Contains(gui.Text(IDC_ELAPSED), "took"));
        EXPECT_TRUE(AnyLineHolds(gui.Lines(IDC_LOG), "Board before:"));
        std::vector<std::vector<std::string>> rows = gui.ListRows();
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows.front()[1], "SIM-BOARD-0001");
        EXPECT_EQ(rows.front()[2], c.listed);
        EXPECT_EQ(rows.front()[3], c.file);
        EXPECT_EQ(rows.front()[4], "Ann Lee");
    }
    EXPECT_TRUE(AnyLineHolds(gui.Lines(IDC_LOG), "Entre TelechargeComposant_COM"));

    // Another program takes the board: Refresh says so; once the board is free, Refresh
    // clears that and the last run's time.
    {
        torvexupdate::BoardLock held(folder.Path());
        torvexupdate::LockHolder other{"torvexctl", 0, "", "reading the board", "", "", ""}, holder;
        std::string error;
        ASSERT_EQ(held.Take(other, &holder, &error), torvexupdate::BoardLock::Result::kTaken) << error;
        gui.Press(IDC_REFRESH);
        EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "The board is busy");
        EXPECT_TRUE(Contains(gui.Text(IDC_OUTCOME), "torvexctl (process ")) << gui.Text(IDC_OUTCOME);
        EXPECT_EQ(gui.Text(IDC_ELAPSED), "");
    }
    // What stays is the board's own warning, when its last write may be incomplete.
    gui.Press(IDC_REFRESH);
    EXPECT_EQ(gui.OutcomeIcon(), warning.empty() ? 0 : IDC_OUTCOME_WARNING);
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), warning);
    EXPECT_FALSE(Contains(gui.Text(IDC_OUTCOME), "busy")) << gui.Text(IDC_OUTCOME);

    // Sorted by a click on a heading, the other way round by a second, newest first again by Time.
    auto column = [&](std::size_t index) {
        std::vector<std::string> cells;
        for (const auto& row : gui.ListRows())
            cells.push_back(row[index]);
        return cells;
    };
    gui.ClickHeading(2);
    EXPECT_EQ(column(2),
              (std::vector<std::string>{"accepted", "failed", "failed", "interrupted", "refused: board", "skipped"}));
    gui.ClickHeading(2);
    EXPECT_EQ(column(2),
              (std::vector<std::string>{"skipped", "refused: board", "interrupted", "failed", "failed", "accepted"}));
    gui.ClickHeading(0);
    std::vector<std::string> times = column(0);
    EXPECT_TRUE(std::is_sorted(times.rbegin(), times.rend())) << times.front() << " ... " << times.back();
    EXPECT_EQ(column(2).back(), "interrupted");  // the oldest

    // Resized, the log and the history share the height gained and take all the width.
    RECT log = Placed(gui.Control(IDC_LOG)), list = Placed(gui.Control(IDC_HISTORY)), frame = Placed(gui.Window());
    RECT close = Placed(gui.Control(IDCANCEL));
    SetWindowPos(gui.Window(), nullptr, 0, 0, frame.right - frame.left + 200, frame.bottom - frame.top + 160,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT grownLog = Placed(gui.Control(IDC_LOG)), grownList = Placed(gui.Control(IDC_HISTORY));
    EXPECT_EQ(grownLog.right - grownLog.left, log.right - log.left + 200);
    EXPECT_EQ(grownLog.bottom - grownLog.top, log.bottom - log.top + 80);
    EXPECT_EQ(grownList.right - grownList.left, list.right - list.left + 200);
    EXPECT_EQ(grownList.bottom - grownList.top, list.bottom - list.top + 80);
    EXPECT_LT(grownLog.bottom, grownList.top);
    RECT moved = Placed(gui.Control(IDCANCEL));
    EXPECT_EQ(moved.left - close.left, 200);
    EXPECT_EQ(moved.top - close.top, 160);

    // Trusted keys installed: a signed release shows its signer; a file without a manifest
    // keeps Update off until the marked box is ticked.
    const std::string data = GUI_TEST_RELEASE_DATA;
    WriteFile(folder.File("simulator\\quelvane-sim.ini"), "");
    std::filesystem::create_directories(folder.File("trusted-keys"));
    CopyFile(data + "\\release.pub.pem", folder.File("trusted-keys\\release-2026.pem"));
    CopyFile(data + "\\maker\\app.bin", folder.File("app.bin"));
    CopyFile(data + "\\maker\\app.bin.manifest.json", folder.File("app.bin.manifest.json"));
    gui.ChooseFile(folder.File("app.bin"));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_MANIFEST),
                         "Signed by release-2026.pem (key 223e dd85 00f3 fb76 0fb5 f378 0e71 2785 0c12 1fc8 de0a "
                         "acfd d6c2 9687 6c72 fe12).\r\nFrom its maker: Fixes the start-up delay.\r\nSecond line"))
        << gui.Text(IDC_FILE_MANIFEST);
    std::string outcome = gui.Update();
    EXPECT_EQ(outcome.rfind("Done:", 0), 0u) << outcome;
    WriteFile(folder.File("third.bin"),
              ApplicationImage({"THIRD-APP", "APP 3.0.0", "RUNTIM", "BOARDA", "20261209"}, std::string(200, 'c')));
    gui.ChooseFile(folder.File("third.bin"));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_MANIFEST), "Refused: it has no manifest (third.bin.manifest.json)"));
    EXPECT_EQ(gui.OutcomeIcon(), IDC_OUTCOME_ERROR);
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "Nothing written: no manifest signed by a key this site trusts");
    EXPECT_FALSE(gui.Enabled(IDC_UPDATE));
    gui.Press(IDC_ALLOW_UNSIGNED);
    EXPECT_TRUE(gui.Enabled(IDC_UPDATE));
    EXPECT_EQ(gui.OutcomeIcon(), 0);
    outcome = gui.Update();
    EXPECT_EQ(outcome.rfind("Done:", 0), 0u) << outcome;
    EXPECT_EQ(gui.Close(), 0u);
    EXPECT_EQ(RememberedOperator(), "Ann Lee");

    // Whole records after the torn line, each on its own line: an outcome per run, and
    // ahead of each download (all but the skip) a started record with the same id.
    std::vector<std::string> lines = testing_support::SplitLines(ReadFile(history));
    // The cases, then the signed release and the unsigned file allowed: two records each.
    ASSERT_EQ(lines.size(), 2 + 2 * (std::size(kCases) + 2) - 1);
    std::vector<nlohmann::json> outcomes;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        nlohmann::json record = nlohmann::json::parse(lines[i]);
        if (record.contains("record"))
            EXPECT_EQ(nlohmann::json::parse(lines.at(i + 1))["id"], record["id"]) << lines[i];
        else
            outcomes.push_back(record);
    }
    ASSERT_EQ(outcomes.size(), std::size(kCases) + 2);
    const nlohmann::json& signedRun = outcomes[outcomes.size() - 2];
    EXPECT_EQ(signedRun["manifest"]["signer"]["key_file"], "release-2026.pem");
    EXPECT_EQ(signedRun["manifest"]["version"], "1.2.0");
    EXPECT_EQ(outcomes.back()["manifest"]["overrides"], nlohmann::json::array({"allow-unsigned"}));
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const nlohmann::json& record = outcomes[i];
        EXPECT_EQ(record["outcome"], kCases[i].recorded);
        EXPECT_EQ(record["program"], "torvexgui");
        EXPECT_EQ(record["board"], "SIM-BOARD-0001");
        EXPECT_EQ(record["operator"], "Ann Lee");
    }

    // The next run starts with the operator remembered.
    GuiSession again(folder.Path(), history);
    ASSERT_NE(again.Window(), nullptr);
    EXPECT_EQ(again.Text(IDC_OPERATOR), "Ann Lee");
    EXPECT_EQ(again.ListRows().size(), 1 + std::size(kCases) + 2);  // the interrupted one, the cases, the releases
    EXPECT_EQ(again.Close(), 0u);
}

// In French (--lang fr, whatever the system's language): the labels, each outcome's words in
// the list, an update that never finished, a refusal by the board and a success, its date as
// French writes it, while the record keeps its English words. Chosen in the window, a
// language is said at once and remembered for the next run.
TEST(TorvexGui, SpeaksFrenchWhenAskedOrChosen)
{
    struct ForgetLanguage {
        ForgetLanguage() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kOperatorKey, "Language"); }
        ~ForgetLanguage() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kOperatorKey, "Language"); }
    } forget;
    ScratchFolder folder("gui-fr");
    LayOut(folder);
    CopyFile(GUI_TEST_SAMPLE_FILE, folder.File("sample.bin"));
    WriteFile(folder.File("other.bin"),
              ApplicationImage({"OTHER-APP", "APP 2.0.0", "RUNTIM", "BOARDA", "20261209"}, std::string(200, 'b')));
    const std::pair<const char*, const char*> words[] = {{"file_unreadable", "fichier illisible"},
                                                         {"file_empty", "fichier vide"},
                                                         {"not_application", "pas une application"},
                                                         {"path_unusable", "chemin inutilisable"},
                                                         {"board_unavailable", "carte injoignable"},
                                                         {"skipped", "déjà à jour"},
                                                         {"accepted", "réussie"},
                                                         {"verify_mismatch", "contrôle : différente"},
                                                         {"verify_failed", "contrôle : échec"},
                                                         {"refused", "refusée : carte"},
                                                         {"failed", "échec"},
                                                         {"manifest_refused", "refusée : manifeste"}};
    std::string history = folder.File("history.jsonl");
    std::string records = "{\"record\":\"started\",\"id\":\"k\",\"time\":\"2026-12-01T07:00:00Z\",\"program\":"
                          "\"torvexctl\",\"file\":\"C:\\\\killed.bin\",\"board\":\"SIM-BOARD-0001\"}\n";
    std::vector<std::string> expected = {"interrompue"};
    for (const auto& [name, word] : words) {
        records += "{\"time\":\"2026-11-30T08:00:00Z\",\"board\":\"OTHER\",\"outcome\":\"" + std::string(name)
            + "\"}\n";
        expected.push_back(word);
    }
    WriteFile(history, records);

    GuiSession gui(folder.Path(), history, L"--lang fr");
    ASSERT_NE(gui.Window(), nullptr) << "the window did not appear";
    EXPECT_EQ(gui.Text(IDC_UPDATE), "&Mettre à jour");
    EXPECT_EQ(gui.Text(IDC_BOARD_APPLICATION), "aucune application en flash");
    for (int id : {IDC_FORCE, IDC_ALLOW_UNSIGNED, IDC_ALLOW_OLDER})
        EXPECT_TRUE(gui.OnOneLine(id)) << gui.Text(id);
    EXPECT_EQ(gui.ListHeadings(),
              (std::vector<std::string>{"Date", "Carte", "Résultat", "Fichier", "Opérateur", "Bannière après"}));
    std::vector<std::string> listed;
    for (const auto& row : gui.ListRows())
        listed.push_back(row[2]);
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "La dernière écriture dans cette carte ne s'est pas terminée");
    EXPECT_EQ(gui.Text(IDC_OUTCOME)
                  .rfind("Attention : la dernière écriture dans la carte SIM-BOARD-0001 ne s'est pas terminée", 0),
              0u)
        << gui.Text(IDC_OUTCOME);

    WriteFile(folder.File("simulator\\quelvane-sim.ini"), "[command.30]\nresult = 0\ncom = 19\n");
    gui.ChooseFile(folder.File("other.bin"));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "octets) : il passe le contrôle")) << gui.Text(IDC_FILE_CHECK);
    std::string outcome = gui.Update();
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "Refusée par la carte : la carte n'a pas changé");
    EXPECT_EQ(outcome.rfind("Refusée par la carte : refusée par la carte (-2). Rien n'a changé", 0), 0u) << outcome;
    EXPECT_EQ(nlohmann::json::parse(testing_support::SplitLines(ReadFile(history)).back())["result"]["words"],
              "refused by the board (-2); the board is unchanged");

    WriteFile(folder.File("simulator\\quelvane-sim.ini"), "");
    gui.ChooseFile(folder.File("sample.bin"));
    outcome = gui.Update();
    EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), "Mise à jour terminée : la carte exécute la nouvelle application");
    EXPECT_EQ(outcome.rfind("Terminé : la carte exécute maintenant", 0), 0u) << outcome;
    EXPECT_TRUE(Contains(gui.Text(IDC_ELAPSED), "durée")) << gui.Text(IDC_ELAPSED);
    std::string newest = gui.ListRows().front()[0];  // dd/mm/yyyy hh:mm:ss
    EXPECT_TRUE(newest.size() == 19 && newest[2] == '/' && newest[5] == '/') << newest;
    EXPECT_EQ(gui.Close(), 0u);

    GuiSession english(folder.Path(), history);
    ASSERT_NE(english.Window(), nullptr);
    EXPECT_EQ(english.Text(IDC_UPDATE), "&Update");
    SendMessageW(english.Control(IDC_LANGUAGE), CB_SETCURSEL, 1, 0);
    SendMessageW(english.Window(), WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(english.Control(IDC_LANGUAGE)));
    EXPECT_EQ(english.Text(IDC_UPDATE), "&Mettre à jour");
    EXPECT_EQ(english.ListHeadings()[2], "Résultat");
    EXPECT_EQ(english.Close(), 0u);
    GuiSession remembered(folder.Path(), history);
    ASSERT_NE(remembered.Window(), nullptr);
    EXPECT_EQ(remembered.Text(IDC_UPDATE), "&Mettre à jour");
    EXPECT_EQ(remembered.Close(), 0u);
}

// Every refusal by a file's manifest shows as soon as the file is chosen, before Update is
// pressed: the error icon, a headline, why, that the board is unchanged, and what to do
// with the override last, all of it readable at the default size. The board carries
// release 1.5.0, as the history knows from that release's signed manifest (a release
// written past the trust check would set no floor).
TEST(TorvexGui, ManifestRefusalsShowBeforeUpdate)
{
    ScratchFolder folder("gui-refusals");
    LayOut(folder);
    const std::string data = GUI_TEST_RELEASE_DATA;
    std::filesystem::create_directories(folder.File("trusted-keys"));
    CopyFile(data + "\\release.pub.pem", folder.File("trusted-keys\\release-2026.pem"));
    WriteFile(folder.File("simulator\\quelvane-sim.flash"),
              ApplicationImage({"TORVEX-SAMPLE1", "APP 1.5.0", "RUNTIM", "BOARDA", "20261208"}));
    const std::string history = folder.File("history.jsonl");
    WriteFile(
        history,
        "{\"board\":\"SIM-BOARD-0001\",\"outcome\":\"accepted\",\"file_banner\":\"TORVEX-SAMPLE1 APP 1.5.0 RUNTIM "
        "BOARDA 20261208\",\"manifest\":{\"version\":\"1.5.0\",\"signer\":{\"key_file\":\"release-2026.pem\"}}}\n");

    const auto cut = [](const std::string& file) { WriteFile(file, ReadFile(file).substr(0, 100)); };
    const auto changeOneByte = [](const std::string& file) {
        std::string bytes = ReadFile(file);
        bytes[120] ^= 1;
        WriteFile(file, bytes);
    };
    const auto editNotes = [](const std::string& file) {
        std::string text = ReadFile(file + ".manifest.json");
        WriteFile(file + ".manifest.json", text.replace(text.find("\"notes\": \"fix\""), 14, "\"notes\": \"fox\""));
    };
    const std::string untrusted = "its manifest is signed by key 7792 0e31 b628 b506 4097 23b3 8ad3 b6c4 6c6f 877f "
                                  "4670 6a28 f062 47be c622 6ebb, which is not among this site's trusted keys.";
    const struct {
        const char* name;
        const char* version;  // the file's release, signed with `key` ("" for none)
        const char* board;
        const char* key;
        std::function<void(const std::string& file)> damage;
        const char* headline;
        std::string reason;  // part of what the window says
        std::string next;    // how it ends
    } kRefusals[] = {
        {"cut copy", "1.6.0", "SIM-*", "release.pem", cut,
         "Nothing written: this copy of the file is incomplete or damaged",
         "its manifest says 256: the copy is incomplete",
         "Next: copy the file again from its source, with its manifest."},
        {"changed byte", "1.6.0", "SIM-*", "release.pem", changeOneByte,
         "Nothing written: this copy of the file is incomplete or damaged",
         "the file was changed or damaged after its maker released it",
         "Next: copy the file again from its source, with its manifest."},
        {"another board", "1.6.0", "LAB-*", "release.pem", nullptr,
         "Nothing written: the file is not meant for this board",
         "the board's reference is \"SIM-BOARD-0001\", and the file is meant for \"LAB-*\" only",
         "Next: check that the file is meant for this board, or connect the board it is meant for."},
        {"older release", "1.2.0", "SIM-*", "release.pem", nullptr,
         "Nothing written: an older release than the one the board carries",
         "the file's version 1.2.0 is older than 1.5.0, which the board carries",
         "To go back to this older release on purpose, tick Allow older (unsafe)."},
        {"unsigned", "1.6.0", "SIM-*", "", nullptr, "Nothing written: no manifest signed by a key this site trusts",
         "its manifest is not signed", "To write the file anyway, tick Allow unsigned (unsafe)."},
        {"untrusted signer", "1.6.0", "SIM-*", "foreign.pem", nullptr,
         "Nothing written: signed by a key this site does not trust", untrusted,
         "ask whoever manages this site's trusted keys to add its public key to " + folder.File("trusted-keys")
             + ". To write this file anyway, tick Allow unsigned (unsafe)."},
        {"edited after signing", "1.6.0", "SIM-*", "release.pem", editNotes,
         "Nothing written: its manifest was changed after it was signed",
         "its manifest was edited after release-2026.pem (key 223e dd85 ",
         "(nothing lets an edited manifest through)."},
    };

    GuiSession gui(folder.Path(), history);
    ASSERT_NE(gui.Window(), nullptr) << "the window did not appear";
    std::string older;
    for (const auto& r : kRefusals) {
        SCOPED_TRACE(r.name);
        std::string stem = r.name;
        std::replace(stem.begin(), stem.end(), ' ', '-');
        const std::string file = folder.File(stem + ".bin");
        WriteFile(
            file,
            ApplicationImage({"TORVEX-SAMPLE1", "APP 1.6.0", "RUNTIM", "BOARDA", "20261208"}, std::string(200, 'c')));
        torvexupdate::ManifestRequest request{r.version, {r.board}, "fix", *r.key ? ReadFile(data + "\\" + r.key) : ""};
        torvexupdate::Manifest manifest;
        std::string problem;
        ASSERT_TRUE(torvexupdate::MakeManifest(torvexupdate::FactsOfFile(file), request, &manifest, &problem))
            << problem;
        ASSERT_TRUE(torvexupdate::WriteManifestFile(file + ".manifest.json", manifest, &problem)) << problem;
        if (r.damage)
            r.damage(file);
        if (std::string(r.version) == "1.2.0")
            older = file;

        gui.ChooseFile(file);
        EXPECT_EQ(gui.OutcomeIcon(), IDC_OUTCOME_ERROR);
        EXPECT_EQ(gui.Text(IDC_OUTCOME_HEADLINE), r.headline);
        EXPECT_TRUE(gui.OnOneLine(IDC_OUTCOME_HEADLINE, true));
        const std::string said = gui.Text(IDC_OUTCOME);
        EXPECT_EQ(said.rfind("This file is refused: ", 0), 0u) << said;
        EXPECT_TRUE(Contains(said, r.reason)) << said;
        EXPECT_TRUE(Contains(said, ".\r\nUpdate stays off; the board is unchanged.\r\nNext: ")) << said;
        EXPECT_EQ(said.substr(said.size() - std::min(said.size(), r.next.size())), r.next) << said;
        EXPECT_TRUE(gui.ShowsWhole(IDC_OUTCOME)) << said;
        EXPECT_FALSE(gui.Enabled(IDC_UPDATE));
    }

    // Allow older lets the older release through, and says it was needed.
    gui.ChooseFile(older);
    gui.Press(IDC_ALLOW_OLDER);
    EXPECT_EQ(gui.OutcomeIcon(), 0);
    ASSERT_TRUE(gui.Enabled(IDC_UPDATE));
    std::string outcome = gui.Update();
    EXPECT_EQ(outcome.rfind("Done:", 0), 0u) << outcome;
    nlohmann::json last = nlohmann::json::parse(testing_support::SplitLines(ReadFile(history)).back());
    EXPECT_EQ(last["manifest"]["overrides"], nlohmann::json::array({"allow-older"}));
    EXPECT_EQ(gui.Close(), 0u);
}

}  // namespace

TEST(TorvexGui, MissingModuleGivesAMessageNotACrash)
{
    ScratchFolder folder("gui-alone");
    CopyFile(GUI_TEST_PROGRAM, folder.File("torvexgui.exe"));
    GuiSession gui(folder.Path(), folder.File("history.jsonl"));
    ASSERT_NE(gui.Window(), nullptr) << "no message appeared";
    EXPECT_TRUE(Contains(gui.Message(), "The board module could not be loaded")) << gui.Message();
    EXPECT_TRUE(Contains(gui.Message(), "Put torvex.dll beside torvexgui.exe")) << gui.Message();
    EXPECT_EQ(gui.Close(), 3u);
}

// Another program holds the board interface: the window names it and does nothing.
TEST(TorvexGui, BoardHeldByAnotherProgramIsNamedAndLeftAlone)
{
    ScratchFolder folder("gui-held");
    CopyFile(GUI_TEST_PROGRAM, folder.File("torvexgui.exe"));
    CopyFile(TORVEX_HOST_MODULE_FILE, folder.File("torvex.dll"));
    torvexupdate::BoardLock held(folder.Path());
    torvexupdate::LockHolder me{"gui_tests", 0, "", "downloading C:\\app.bin", "C:\\app.bin", "", ""};
    torvexupdate::LockHolder holder;
    std::string error;
    ASSERT_EQ(held.Take(me, &holder, &error), torvexupdate::BoardLock::Result::kTaken) << error;
    GuiSession gui(folder.Path(), folder.File("history.jsonl"));
    ASSERT_NE(gui.Window(), nullptr) << "no message appeared";
    EXPECT_TRUE(Contains(gui.Message(),
                         "The board is in use by another program: gui_tests (process "
                             + std::to_string(GetCurrentProcessId()) + ") since "));
    EXPECT_TRUE(Contains(gui.Message(), ", downloading C:\\app.bin.")) << gui.Message();
    EXPECT_TRUE(Contains(gui.Message(), "then start Torvex board update again.")) << gui.Message();
    EXPECT_EQ(gui.Close(), 3u);
    EXPECT_FALSE(testing_support::FileExists(folder.File("Torvex.log")));  // the module was not even started
}

// Two windows on one board. While one writes, Refresh in the other shows the update
// running, in its outcome area and its list. The writer killed mid-write (a real process
// kill), the update is interrupted; a refusal by the board writes nothing and leaves the
// warning; writing the file again writes it in full.
TEST(TorvexGui, RunningUpdateThenKilledThenRefusedThenWrittenInFull)
{
    ScratchFolder folder("gui-kill");
    LayOut(folder, "[download]\r\nbytes_per_second = 20000\r\n");
    const std::string image = ApplicationImage({"KILLED-APP", "APP 1.0.0", "RUNTIM", "BOARDA", "20261209"},
                                               std::string(200000, 'k'));
    WriteFile(folder.File("app.bin"), image);
    WriteFile(folder.File("other.bin"),
              ApplicationImage({"OTHER-APP", "APP 2.0.0", "RUNTIM", "BOARDA", "20261209"}, std::string(200, 'o')));
    const std::string history = folder.File("history.jsonl");
    const std::string flash = folder.File("simulator\\quelvane-sim.flash");
    GuiSession watcher(folder.Path(), history);
    ASSERT_NE(watcher.Window(), nullptr);
    GuiSession writer(folder.Path(), history);
    ASSERT_NE(writer.Window(), nullptr);
    ASSERT_EQ(writer.Message(), "");

    writer.ChooseFile(folder.File("app.bin"));
    writer.Press(IDC_UPDATE);
    for (int waited = 0; waited < 600 && ReadFile(flash).size() < 1000; ++waited)
        Sleep(100);
    ASSERT_LT(ReadFile(flash).size(), image.size()) << "the write ended before it could be watched";
    watcher.Press(IDC_REFRESH);
    EXPECT_EQ(watcher.Text(IDC_OUTCOME_HEADLINE), "An update of this board is running");
    EXPECT_EQ(watcher.OutcomeIcon(), IDC_OUTCOME_SUCCESS);
    EXPECT_EQ(watcher.Text(IDC_OUTCOME).rfind("An update is running since ", 0), 0u) << watcher.Text(IDC_OUTCOME);
    EXPECT_TRUE(Contains(watcher.Text(IDC_OUTCOME), "torvexgui on ")) << watcher.Text(IDC_OUTCOME);
    EXPECT_TRUE(Contains(watcher.Text(IDC_OUTCOME), "app.bin; nothing was done here."));
    ASSERT_EQ(watcher.ListRows().size(), 1u);
    EXPECT_EQ(watcher.ListRows()[0][2], "running");

    writer.Kill();
    ASSERT_LT(ReadFile(flash).size(), image.size());
    watcher.Press(IDC_REFRESH);
    EXPECT_EQ(watcher.Text(IDC_OUTCOME_HEADLINE), "The last write into this board did not finish");
    EXPECT_EQ(watcher.ListRows().at(0)[2], "interrupted");

    WriteFile(folder.File("simulator\\quelvane-sim.ini"), "[command.30]\r\nresult = 0\r\ncom = 19\r\n");
    watcher.ChooseFile(folder.File("other.bin"));
    std::string refused = watcher.Update();
    EXPECT_EQ(refused.rfind("Refused by the board", 0), 0u) << refused;
    EXPECT_TRUE(Contains(refused, "Warning: the last write into board SIM-BOARD-0001 did not finish"));

    WriteFile(folder.File("simulator\\quelvane-sim.ini"), "");
    watcher.ChooseFile(folder.File("app.bin"));
    EXPECT_EQ(watcher.Text(IDC_OUTCOME_HEADLINE), "The last write into this board did not finish");
    std::string written = watcher.Update();
    EXPECT_EQ(written.rfind("Done:", 0), 0u) << written;
    EXPECT_TRUE(
        AnyLineHolds(watcher.Lines(IDC_LOG), "even if its banner looks right: this update writes the file in full."));
    EXPECT_EQ(ReadFile(flash), image);
    const std::vector<std::vector<std::string>> rows = watcher.ListRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][2], "accepted");
    EXPECT_EQ(rows[1][2], "refused: board");
    EXPECT_EQ(rows[2][2], "interrupted");
    EXPECT_EQ(watcher.Close(), 0u);
}
