// torvexgui as a person uses it, driven from this process through the Win32 API: the
// window found by its title, controls by their IDs, the file typed into its field, Update
// pressed, the outcome waited for and read, against the simulated board with faults
// injected through its configuration file.
#include "board_lock.h"
#include "control_ids.h"
#include "gui_test_paths.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "test_paths.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <windows.h>

#include <filesystem>
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
    explicit GuiSession(const std::string& folder, const std::string& history)
    {
        std::wstring command = L"\"" + Wide(folder) + L"\\torvexgui.exe\" --history \"" + Wide(history) + L"\"";
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
        wchar_t text[4096] = L"";
        SendMessageW(Control(id), WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
        return Narrow(text);
    }
    std::vector<std::string> Lines(int id) const
    {
        std::vector<std::string> lines;
        LRESULT count = SendMessageW(Control(id), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t line[4096] = L"";
            if (SendMessageW(Control(id), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 4096)
                SendMessageW(Control(id), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(line));
            lines.push_back(Narrow(line));
        }
        return lines;
    }
    bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    void ChooseFile(const std::string& path) const
    {
        std::wstring wide = Wide(path);
        SendMessageW(Control(IDC_FILE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    void Press(int id) const { SendMessageW(Control(id), BM_CLICK, 0, 0); }

    // Presses Update and waits until the run has ended: the outcome text is the run's.
    std::string Update() const
    {
        Press(IDC_UPDATE);
        for (int waited = 0; waited < 1200; ++waited) {
            if (Enabled(IDC_REFRESH) && Text(IDC_OUTCOME).rfind("Updating", 0) != 0)
                return Text(IDC_OUTCOME);
            Sleep(100);
        }
        return "(the update did not end within two minutes)";
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
        if (process != session->process_.dwProcessId || std::wstring(title) != TORVEXGUI_TITLE
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
};

// In order, on one board: each case starts from the board the previous one left.
const Case kCases[] = {
    {"good file on an empty board", "sample.bin", "", "Done: the board now runs", "TORVEX-SAMPLE1", "accepted"},
    {"the same file again", "sample.bin", "", "Nothing written: the board already carries", "TORVEX-SAMPLE1",
     "skipped"},
    {"failed download", "other.bin", "[command.30]\nresult = 0\ncom = 50\n",
     "The download failed: download failed (-1). Nothing was changed", "TORVEX-SAMPLE1", "failed"},
    {"refused by the board", "other.bin", "[command.30]\nresult = 0\ncom = 19\n",
     "Refused by the board: refused by the board (-2)", "TORVEX-SAMPLE1", "refused"},
    {"start failure", "other.bin", "[command.12]\nresult = 0\n", "Written but not started", "OTHER-APP", "failed"},
};

TEST(TorvexGui, UpdatesAsAPersonWouldAgainstTheSimulatedBoard)
{
    ScratchFolder folder("gui");
    std::filesystem::create_directories(folder.File("simulator"));
    CopyFile(GUI_TEST_PROGRAM, folder.File("torvexgui.exe"));
    CopyFile(TORVEX_HOST_MODULE_FILE, folder.File("torvex.dll"));
    CopyFile(TORVEX_HOST_SIM_FILE, folder.File("simulator\\quelvane.dll"));
    WriteFile(folder.File("torvex.ini"), "[TorvexPath]\r\nQuelvanePath=simulator\r\n");
    CopyFile(GUI_TEST_SAMPLE_FILE, folder.File("sample.bin"));
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

    GuiSession gui(folder.Path(), history);
    ASSERT_NE(gui.Window(), nullptr) << "the window did not appear";
    ASSERT_EQ(gui.Message(), "");
    EXPECT_EQ(gui.Text(IDC_BOARD_REFERENCE), "SIM-BOARD-0001");
    EXPECT_EQ(gui.Text(IDC_BOARD_APPLICATION), "no application in flash");
    EXPECT_TRUE(AnyLineHolds(gui.Lines(IDC_HISTORY), "1 damaged or incomplete line(s) skipped"));
    EXPECT_TRUE(Contains(gui.Lines(IDC_HISTORY).at(0), "  SIM-BOARD-0001  interrupted  "));
    EXPECT_EQ(gui.Text(IDC_OUTCOME)
                  .rfind("Warning: the last update of board SIM-BOARD-0001 did not finish: "
                         "torvexctl started writing C:\\killed.bin into it at 2026-12-01T07:00:00Z",
                         0),
              0u)
        << gui.Text(IDC_OUTCOME);

    // A file that fails the check: Update stays off until Force is ticked, with a warning.
    gui.ChooseFile(folder.File("tiny.bin"));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "Not an application file: it is 10 bytes long, too short"));
    EXPECT_FALSE(gui.Enabled(IDC_UPDATE));
    gui.Press(IDC_FORCE);
    EXPECT_TRUE(gui.Enabled(IDC_UPDATE));
    EXPECT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "Warning: Force is ticked"));
    gui.Press(IDC_FORCE);
    EXPECT_FALSE(gui.Enabled(IDC_UPDATE));

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder.File("simulator\\quelvane-sim.ini"), c.simConfig);
        gui.ChooseFile(folder.File(c.file));
        ASSERT_TRUE(Contains(gui.Text(IDC_FILE_CHECK), "passes the check"));
        ASSERT_TRUE(gui.Enabled(IDC_UPDATE));
        std::string outcome = gui.Update();
        EXPECT_EQ(outcome.rfind(c.outcome, 0), 0u) << outcome;
        EXPECT_TRUE(Contains(gui.Text(IDC_BOARD_APPLICATION), c.boardAfter)) << gui.Text(IDC_BOARD_APPLICATION);
        EXPECT_TRUE(Contains(gui.Text(IDC_ELAPSED), "took"));
        EXPECT_TRUE(AnyLineHolds(gui.Lines(IDC_LOG), "Board before:"));
        std::vector<std::string> shown = gui.Lines(IDC_HISTORY);
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(Contains(shown.front(), std::string("  ") + c.recorded + "  ")) << shown.front();
    }
    EXPECT_TRUE(AnyLineHolds(gui.Lines(IDC_LOG), "Entre TelechargeComposant_COM"));
    EXPECT_EQ(gui.Close(), 0u);

    // Whole records after the torn line, each on its own line: an outcome per run, and
    // ahead of each download (all but the skip) a started record with the same id.
    std::vector<std::string> lines = testing_support::SplitLines(ReadFile(history));
    ASSERT_EQ(lines.size(), 2 + 2 * std::size(kCases) - 1);
    std::vector<nlohmann::json> outcomes;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        nlohmann::json record = nlohmann::json::parse(lines[i]);
        if (record.contains("record"))
            EXPECT_EQ(nlohmann::json::parse(lines.at(i + 1))["id"], record["id"]) << lines[i];
        else
            outcomes.push_back(record);
    }
    ASSERT_EQ(outcomes.size(), std::size(kCases));
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        const nlohmann::json& record = outcomes[i];
        EXPECT_EQ(record["outcome"], kCases[i].recorded);
        EXPECT_EQ(record["program"], "torvexgui");
        EXPECT_EQ(record["board"], "SIM-BOARD-0001");
    }
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
    torvexupdate::LockHolder me{"gui_tests", 0, "", "downloading C:\\app.bin", "C:\\app.bin"};
    torvexupdate::LockHolder holder;
    std::string error;
    ASSERT_EQ(held.Take(me, &holder, &error), torvexupdate::BoardLock::Result::kTaken) << error;
    GuiSession gui(folder.Path(), folder.File("history.jsonl"));
    ASSERT_NE(gui.Window(), nullptr) << "no message appeared";
    EXPECT_TRUE(Contains(gui.Message(),
                         "The board is in use by another program: gui_tests (process "
                             + std::to_string(GetCurrentProcessId()) + ") since "));
    EXPECT_TRUE(Contains(gui.Message(), ", downloading C:\\app.bin.")) << gui.Message();
    EXPECT_EQ(gui.Close(), 3u);
    EXPECT_FALSE(testing_support::FileExists(folder.File("Torvex.log")));  // the module was not even started
}
