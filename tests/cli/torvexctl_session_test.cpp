// torvexctl run as a child process against the simulated board, from a scratch folder laid
// out like the build's bin/ (program, module, torvex.ini, simulator/): its output, its exit
// status, and what reached the board.
#include "cli_test_paths.h"
#include "commands.h"
#include "program_run.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "host/module_copy.h"
#include "test_paths.h"
#include "torvex_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using cli_testing::ProgramRun;
using cli_testing::RunProgram;
using testing_support::ApplicationImage;
using testing_support::Contains;
using testing_support::JoinPath;
using testing_support::Lacks;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

#if defined(_WIN32)
const char* const kProgramName = "torvexctl.exe";
#else
const char* const kProgramName = "torvexctl";
#endif

const std::vector<std::string> kSampleFields = {"TORVEX-SAMPLE1", "APP 1.0.0", "RUNTIM", "BOARDA", "20261208"};

std::string SampleBannerText()
{
    return "banner:\n"
           "  field 1: TORVEX-SAMPLE1\n"
           "  field 2: APP 1.0.0\n"
           "  field 3: RUNTIM\n"
           "  field 4: BOARDA\n"
           "  field 5: 20261208\n"
           "  line:    TORVEX-SAMPLE1 APP 1.0.0 RUNTIM BOARDA 20261208\n";
}

class Workspace {
public:
    // `withModule` false: the program alone in its folder.
    explicit Workspace(bool withModule = true) : folder_("cli")
    {
        testing_support::CopyFile(CLI_TEST_PROGRAM, Program());
        if (!withModule)
            return;
        std::filesystem::create_directories(SimFolder());
        testing_support::CopyFile(host::BuiltModuleFile(), File("torvex.dll"));
        testing_support::CopyFile(host::SimulatorFile(), JoinPath(SimFolder(), "quelvane.dll"));
#if defined(_WIN32)
        WriteIni("simulator");  // resolved against the program's folder
#else
        WriteIni(SimFolder());
#endif
    }

    std::string Program() const
    {
        return File(kProgramName);
    }
    std::string File(const std::string& name) const
    {
        return folder_.File(name);
    }
    std::string SimFolder() const
    {
        return folder_.File("simulator");
    }
    std::string SimFile(const std::string& name) const
    {
        return JoinPath(SimFolder(), name);
    }

    void WriteIni(const std::string& libraryFolder) const
    {
        WriteFile(File("torvex.ini"), "[TorvexPath]\nQuelvanePath=" + libraryFolder + "\n");
    }
    void WriteSimConfig(const std::string& text) const
    {
        WriteFile(SimFile("quelvane-sim.ini"), text);
    }

    std::string WriteApplication(const std::string& name, const std::string& bytes) const
    {
        WriteFile(File(name), bytes);
        return File(name);
    }
    std::string CopySample() const
    {
        testing_support::CopyFile(CLI_TEST_SAMPLE_FILE, File("sample-application.bin"));
        return File("sample-application.bin");
    }

    ProgramRun Run(const std::vector<std::string>& arguments) const
    {
        ProgramRun run = RunProgram(Program(), arguments, File("stderr.txt"));
        EXPECT_FALSE(run.bareCarriageReturn) << "spinner output reached a pipe:\n" << run.out << run.err;
        return run;
    }

private:
    ScratchFolder folder_;
};

// A folder and file for a UTF-8 name, made through wide characters where the system has them.
std::filesystem::path Utf8Path(const std::string& utf8)
{
    return std::filesystem::u8path(utf8);
}

// The library file with its machine (PE) or class (ELF) changed: a library for another
// architecture.
void WriteForeignArchitectureCopy(const std::string& from, const std::string& to)
{
    std::string bytes = ReadFile(from);
#if defined(_WIN32)
    std::size_t header = static_cast<unsigned char>(bytes[0x3C]) | static_cast<unsigned char>(bytes[0x3D]) << 8;
    bytes[header + 4] = '\x64';  // IMAGE_FILE_MACHINE_AMD64
    bytes[header + 5] = '\x86';
#else
    bytes[4] = bytes[4] == 2 ? 1 : 2;  // ELFCLASS32 <-> ELFCLASS64
#endif
    WriteFile(to, bytes);
}

std::string FolderOfFile(const std::string& path)
{
    return path.substr(0, path.find_last_of("\\/"));
}

std::size_t CountOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// How the journal shows the download of an ApplicationImage: its payload's first bytes.
const char* const kImagePayload = "payload=48 44 52 2D 30 30 30 31";

std::string Describe(const ProgramRun& run)
{
    return "exit " + std::to_string(run.status) + "\n--- stdout\n" + run.out + "--- stderr\n" + run.err;
}

nlohmann::json ParseSingleObject(const ProgramRun& run)
{
    // Exactly one line on stdout, holding one object.
    EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << Describe(run);
    nlohmann::json parsed = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_TRUE(parsed.is_object()) << Describe(run);
    return parsed.is_object() ? parsed : nlohmann::json::object();
}

}  // namespace

TEST(TorvexctlBoard, InfoOnAnEmptyBoardShowsTheReferenceAndNoApplication)
{
    Workspace workspace;
    ProgramRun run = workspace.Run({"info"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(run.out, "board reference: SIM-BOARD-0001\nno application in flash\n");
    EXPECT_EQ(run.err, "");
}

TEST(TorvexctlBoard, DownloadedApplicationIsShownByTheNextProcess)
{
    Workspace workspace;
    std::string image = ApplicationImage({"TORVEX-SECOND2", "APP 2.3.4", "RUNTIM", "BOARDB", "20270101"});
    std::string file = workspace.WriteApplication("second.bin", image);

    ProgramRun download = workspace.Run({"download", file});
    EXPECT_EQ(download.status, 0) << Describe(download);
    EXPECT_TRUE(Contains(download.out, "size:   " + std::to_string(image.size()) + " bytes\n"));
    EXPECT_TRUE(Contains(download.out, "downloading second.bin...\n"));
    EXPECT_TRUE(Contains(download.out, "result: accepted, application started\n"));
    EXPECT_TRUE(Contains(download.out, "verify: the board reports the file's banner\n"));
    EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), image);

    ProgramRun version = workspace.Run({"version"});
    EXPECT_EQ(version.status, 0) << Describe(version);
    EXPECT_EQ(version.out,
              "application in flash:\n"
              "  field 1: TORVEX-SECOND2\n"
              "  field 2: APP 2.3.4\n"
              "  field 3: RUNTIM\n"
              "  field 4: BOARDB\n"
              "  field 5: 20270101\n"
              "  line:    TORVEX-SECOND2 APP 2.3.4 RUNTIM BOARDB 20270101\n");
}

TEST(TorvexctlBoard, DownloadOutcomesMapToWordsAndExitStatus)
{
    struct Case {
        const char* simConfig;
        int status;
        const char* resultLine;
        bool flashWritten;
        const char* boardLine;  // what the board carries after the failure
        const char* advice;
    };
    const char* const unchanged = "board:  unchanged: no application in flash\n";
    const Case cases[] = {
        {"[command.30]\ncom=19\nresult=0\n", 5, "result: refused by the board (-2)\n", false, unchanged,
         "check that the file is meant for this board"},
        {"[command.30]\ncom=51\nresult=0\n", 5, "result: refused by the board (-2)\n", false, unchanged,
         "check that the file is meant for this board"},
        {"[command.30]\ncom=50\nresult=0\n", 6, "result: download failed (-1)\n", false, unchanged,
         "the application was not written"},
        {"[command.30]\ncom=2\nresult=0\n", 6, "result: failed (0)\n", false, unchanged,
         "the application was not written"},
        // Written, but the application could not be started.
        {"[command.12]\nresult=0\n", 6, "result: failed (0)\n", true,
         "board:  written but not started: TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA | 20261208\n",
         "the application was written but could not be started"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.simConfig);
        Workspace workspace;
        workspace.WriteSimConfig(c.simConfig);
        ProgramRun run = workspace.Run({"download", workspace.CopySample()});
        EXPECT_EQ(run.status, c.status) << Describe(run);
        EXPECT_TRUE(Contains(run.out, c.resultLine));
        EXPECT_TRUE(Contains(run.out, c.boardLine));
        EXPECT_TRUE(Lacks(run.out, "verify"));
        EXPECT_TRUE(Contains(run.err, c.advice));
        EXPECT_TRUE(Contains(run.err, "Torvex.log"));
        EXPECT_EQ(testing_support::FileExists(workspace.SimFile("quelvane-sim.flash")), c.flashWritten);
    }
}

TEST(TorvexctlBoard, VerificationComparesTheBoardsBannerWithTheFile)
{
    struct Case {
        const char* name;
        const char* simConfig;
        std::vector<std::string> arguments;  // after "download FILE"
        int status;
        const char* expectedOut;
        const char* expectedErr;
        const char* recorded = "accepted";  // the history's outcome
    };
    // The board answers the version query with the banner AB, C and three empty fields.
    const char* otherBanner = "[command.fa]\nreply=41 42 00 43 00 00 00 00\n";
    const Case cases[] = {
        {"other banner",
         otherBanner,
         {},
         7,
         "",
         "the board reports \"AB | C |  |  | \" but the file carries",
         "verify_mismatch"},
        {"other banner, not verified", otherBanner, {"--no-verify"}, 0, "result: accepted", ""},
        {"nothing stored",
         "[command.30]\nstore=0\n",
         {},
         7,
         "",
         "no application in flash after the download",
         "verify_mismatch"},
        {"version query fails", "[command.fa]\ncom=2\n", {}, 8, "", "version query failed", "verify_failed"},
        // The library's own result for an accepted download may be negative.
        {"accepted with -5", "[command.30]\nresult=-5\n", {}, 0, "verify: the board reports the file's banner", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        workspace.WriteSimConfig(c.simConfig);
        std::vector<std::string> arguments = {"download", workspace.CopySample()};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        ProgramRun run = workspace.Run(arguments);
        EXPECT_EQ(run.status, c.status) << Describe(run);
        EXPECT_TRUE(Contains(run.out, "result: accepted, application started\n"));
        EXPECT_TRUE(Contains(run.out, c.expectedOut));
        EXPECT_TRUE(Contains(run.err, c.expectedErr));
        std::string history = ReadFile(workspace.File("torvex-history.jsonl"));
        EXPECT_EQ(nlohmann::json::parse(testing_support::SplitLines(history).back())["outcome"], c.recorded);
    }
}

TEST(TorvexctlBoard, FilesThatAreNoApplicationAreRefusedUnlessForced)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"ten bytes", std::string(10, 'x'),
         "it is 10 bytes long: the module reads a banner (bytes 8 to 55) only from files of 58 bytes or more"},
        {"57 bytes", std::string(57, 'x'), "it is 57 bytes long: the module reads a banner"},
        {"text", "# Notes\n\nA text file of more than fifty-eight bytes, with no zero byte in it.\n",
         "its banner (bytes 8 to 55) does not decode into five fields"},
        {"control byte", ApplicationImage({"TORVEX\x1B", "APP", "R", "B", "1"}),
         "field 1 of its banner (bytes 8 to 55) holds the byte 0x1B"},
        {"empty fields", ApplicationImage({"", "", "", "", ""}),
         "the five fields of its banner (bytes 8 to 55) are all empty"},
    };
    const std::string carried = ApplicationImage(kSampleFields);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        WriteFile(workspace.SimFile("quelvane-sim.flash"), carried);
        std::string file = workspace.WriteApplication("wrong.bin", c.bytes);

        ProgramRun check = workspace.Run({"check", file});
        EXPECT_EQ(check.status, 10) << Describe(check);
        EXPECT_TRUE(Contains(check.err, file + " is not an application file: " + c.reason));

        ProgramRun refused = workspace.Run({"download", file});
        EXPECT_EQ(refused.status, 10) << Describe(refused);
        EXPECT_TRUE(Contains(refused.err, c.reason));
        EXPECT_TRUE(Contains(refused.err, "nothing was written"));
        EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), carried);
        EXPECT_FALSE(testing_support::FileExists(workspace.SimFile("quelvane-sim.journal")));

        ProgramRun forced = workspace.Run({"download", file, "--force"});
        EXPECT_TRUE(Contains(forced.err, "; downloading it anyway (--force)"));
        EXPECT_TRUE(Contains(forced.out, "result: accepted, application started\n"));
        EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), c.bytes);
    }
}

TEST(TorvexctlBoard, DownloadNamesWhatItReplacesAndSkipsTheSameApplication)
{
    Workspace workspace;
    std::string image = ApplicationImage(kSampleFields);
    WriteFile(workspace.SimFile("quelvane-sim.flash"), image);
    std::string file = workspace.WriteApplication("same.bin", image);

    ProgramRun skipped = workspace.Run({"download", file});
    EXPECT_EQ(skipped.status, 0) << Describe(skipped);
    EXPECT_TRUE(Contains(skipped.out,
                         "board:  TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA | 20261208\n"
                         "skipped: the board already carries this application; nothing was written"));
    EXPECT_TRUE(Lacks(ReadFile(workspace.SimFile("quelvane-sim.journal")), kImagePayload));
    EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), image);

    ProgramRun forced = workspace.Run({"download", file, "--force"});
    EXPECT_EQ(forced.status, 0) << Describe(forced);
    EXPECT_TRUE(Contains(forced.out, "(the same; downloading it again: --force)\n"));
    EXPECT_TRUE(Contains(ReadFile(workspace.SimFile("quelvane-sim.journal")), kImagePayload));

    std::string other = workspace.WriteApplication("other.bin", ApplicationImage({"OTHER", "APP 2", "R", "B", "2"}));
    ProgramRun replaced = workspace.Run({"download", other});
    EXPECT_EQ(replaced.status, 0) << Describe(replaced);
    EXPECT_TRUE(
        Contains(replaced.out, "board:  TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA | 20261208 (to be replaced)\n"));
}

TEST(TorvexctlBoard, FailedTransfersAreRetriedWhenAsked)
{
    Workspace workspace;
    workspace.WriteSimConfig("[command.30]\ncom=50\nresult=0\n");
    std::string file = workspace.WriteApplication("app.bin", ApplicationImage(kSampleFields));
    ProgramRun run = workspace.Run({"download", file, "--retries", "2"});
    EXPECT_EQ(run.status, 6) << Describe(run);
    EXPECT_TRUE(Contains(run.err, "download failed (-1): attempt 2 of 3\n"));
    EXPECT_TRUE(Contains(run.err, "download failed (-1): attempt 3 of 3\n"));
    EXPECT_TRUE(Contains(run.out, "result: download failed (-1) after 3 attempts\n"));
    EXPECT_EQ(CountOf(ReadFile(workspace.SimFile("quelvane-sim.journal")), kImagePayload), 3u);

    // A refusal is not a transfer failure: it is not tried again. Quiet runs print no results.
    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    ProgramRun refused = workspace.Run({"download", file, "--retries", "2", "--quiet"});
    EXPECT_EQ(refused.status, 5) << Describe(refused);
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(Lacks(refused.err, "attempt"));
    EXPECT_EQ(CountOf(ReadFile(workspace.SimFile("quelvane-sim.journal")), kImagePayload), 4u);
}

TEST(TorvexctlPaths, PathsBeyondPlainLettersReachTheModule)
{
    struct Case {
        const char* name;
        std::string folder;  // UTF-8
        std::string file;
    };
    const Case cases[] = {
        {"accents", "\xC3\xA9t\xC3\xA9 \xC3\xBC", "app \xC3\xA9.bin"},
        {"greek, outside the ANSI code page", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", "app\xCE\xA9.bin"},
        {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xE5\xBA\x94\xE7\x94\xA8.bin"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        std::string folder = workspace.File(c.folder);
        std::string file = JoinPath(folder, c.file);
        std::string image = ApplicationImage({"PATH-TEST", "APP " + std::to_string(++index), "R", "B", "1"});
        std::filesystem::create_directories(Utf8Path(folder));
        std::filesystem::copy_file(Utf8Path(workspace.File("torvex.dll")), Utf8Path(JoinPath(folder, "torvex.dll")));
        WriteFile(workspace.File("image.bin"), image);
        std::filesystem::copy_file(Utf8Path(workspace.File("image.bin")), Utf8Path(file));
        std::filesystem::copy_file(Utf8Path(workspace.File("torvex.ini")), Utf8Path(JoinPath(folder, "torvex.ini")));

        ProgramRun json = workspace.Run({"--json", "download", file});
        EXPECT_EQ(json.status, 0) << Describe(json);
        EXPECT_EQ(ParseSingleObject(json)["file"], file);
        EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), image);

        // The module itself in such a folder still finds its torvex.ini and writes its log.
        ProgramRun module = workspace.Run({"--dll", JoinPath(folder, "torvex.dll"), "version", "--log"});
        EXPECT_EQ(module.status, 0) << Describe(module);
        EXPECT_TRUE(Contains(module.out, "field 2: APP " + std::to_string(index) + "\n"));
        EXPECT_TRUE(Contains(module.out, JoinPath(folder, "Torvex.log") + ", lines added by this run:\n"));
    }
}

TEST(TorvexctlBoard, FailedQueriesExitWithTheQueryStatus)
{
    struct Case {
        const char* command;
        const char* simConfig;  // breaks the query only: initialisation sends no command
        const char* expectedErr;
    };
    const Case cases[] = {
        {"version", "[command.fa]\ncom=2\n", "version query failed (0)"},
        {"reference", "[boardinfo]\nresult=0\n", "reference query failed (0)"},
        {"info", "[boardinfo]\nresult=0\n", "reference query failed (0)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Workspace workspace;
        workspace.WriteSimConfig(c.simConfig);
        ProgramRun run = workspace.Run({c.command});
        EXPECT_EQ(run.status, 8) << Describe(run);
        EXPECT_TRUE(Contains(run.err, c.expectedErr));
    }
}

TEST(TorvexctlBoard, CleanRunsTheLibraryClean)
{
    Workspace workspace;
    ProgramRun run = workspace.Run({"clean"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(run.out,
              "clean-up called (1): the library's own result is not passed on; the library's report: "
              "com = 3, general = 0\n");
    std::string journal = ReadFile(workspace.SimFile("quelvane-sim.journal"));
    EXPECT_TRUE(Contains(journal, "CleanupZR\n"));

    testing_support::CopyFile(host::SimulatorFile("quelvane_without_CleanupZR"), workspace.SimFile("quelvane.dll"));
    ProgramRun failed = workspace.Run({"clean"});
    EXPECT_EQ(failed.status, 8) << Describe(failed);
    EXPECT_EQ(failed.out, "");
    EXPECT_TRUE(Contains(failed.err,
                         "clean-up failed (0): no session could be opened or the library has no clean-up; "
                         "the library's report: com = 3, general = 0"));
}

TEST(TorvexctlBoard, MissingApplicationFileLeavesTheBoardAlone)
{
    Workspace workspace;
    ProgramRun run = workspace.Run({"download", workspace.File("absent.bin")});
    EXPECT_EQ(run.status, 9) << Describe(run);
    EXPECT_TRUE(Contains(run.err, "absent.bin cannot be opened"));
    EXPECT_FALSE(testing_support::FileExists(workspace.SimFile("quelvane-sim.journal")));

    ProgramRun empty = workspace.Run({"download", workspace.WriteApplication("empty.bin", "")});
    EXPECT_EQ(empty.status, 9) << Describe(empty);
    EXPECT_TRUE(Contains(empty.err, "is empty"));
    EXPECT_FALSE(testing_support::FileExists(workspace.SimFile("quelvane-sim.journal")));
}

TEST(TorvexctlStartup, InitialisationFailureExplainsWhatToCheck)
{
    Workspace workspace;
    workspace.WriteIni(workspace.File("nowhere"));
    ProgramRun run = workspace.Run({"info"});
    EXPECT_EQ(run.status, 4) << Describe(run);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.err,
                         "initialisation failed (0): check torvex.ini beside " + workspace.File("torvex.dll")
                             + " (key QuelvanePath in [TorvexPath]) and " + workspace.File("Torvex.log")));
    EXPECT_TRUE(Contains(run.err,
                         "cause: the communication library could not be loaded from \"" + workspace.File("nowhere")
                             + "\\quelvane.dll\": not found ("));

    std::filesystem::remove(workspace.File("torvex.ini"));
    ProgramRun noIni = workspace.Run({"version"});
    EXPECT_EQ(noIni.status, 4) << Describe(noIni);
    EXPECT_TRUE(Contains(noIni.err, "cause: " + workspace.File("torvex.ini") + " does not exist"));
}

TEST(TorvexctlStartup, InitialisationFailureNamesTheSystemsReason)
{
    struct Case {
        const char* name;
        std::function<std::vector<std::string>(const Workspace&)> setUp;  // returns the options to run with
        std::vector<std::string> causes;  // each with "%" standing for the scratch folder
    };
    std::vector<Case> cases = {
        {"wrong architecture",
         [](const Workspace& w) {
             std::filesystem::create_directories(w.File("foreign"));
             WriteForeignArchitectureCopy(w.SimFile("quelvane.dll"), JoinPath(w.File("foreign"), "quelvane.dll"));
             w.WriteIni(w.File("foreign"));
             return std::vector<std::string>{};
         },
         {": wrong architecture, it is not a 32-bit library like the module ("}},
        {"module path too long",
         [](const Workspace& w) {
             std::string folder = JoinPath(w.File(std::string(120, 'd')), std::string(120, 'e'));
             std::filesystem::create_directories(folder);
             testing_support::CopyFile(w.File("torvex.dll"), JoinPath(folder, "torvex.dll"));
             return std::vector<std::string>{"--dll", JoinPath(folder, "torvex.dll")};
         },
         {"initialisation failed (0)\n  cause: the module wrote no log: the module's path is ",
          "characters long, more than the 254 it can hold, so it cannot find its own folder"}},
#if defined(_WIN32)
        {"drive-letter rule",
         [](const Workspace& w) {
             w.WriteIni("C:\\board");
             return std::vector<std::string>{};
         },
         {"could not be loaded from \"Z:\\board\\quelvane.dll\": not found",
          "cause: the drive-letter rule applied: QuelvanePath \"C:\\board\" holds a colon, so the module put its own "
          "drive letter in front and tried \"Z:\\board\\quelvane.dll\""}},
        {"relative folder",
         [](const Workspace& w) {
             std::filesystem::create_directories(w.File("other"));
             testing_support::CopyFile(w.File("torvex.dll"), w.File("other\\torvex.dll"));
             WriteFile(w.File("other\\torvex.ini"), "[TorvexPath]\nQuelvanePath=library\n");
             return std::vector<std::string>{"--dll", w.File("other\\torvex.dll")};
         },
         {"cause: QuelvanePath \"library\" is a relative folder: the system looks for \"library\\quelvane.dll\" from "
          "the program's folder (%), then in the system's folders and PATH, not from the module's folder nor from "
          "the current directory ("}},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        std::vector<std::string> arguments = c.setUp(workspace);
        arguments.push_back("info");
        ProgramRun run = workspace.Run(arguments);
        EXPECT_EQ(run.status, 4) << Describe(run);
        for (std::string cause : c.causes) {
            std::size_t folder = cause.find('%');
            if (folder != std::string::npos)
                cause.replace(folder, 1, FolderOfFile(workspace.Program()));
            EXPECT_TRUE(Contains(run.err, cause));
        }
        // The drive-letter cause only where the module changed the letter.
        EXPECT_EQ(Contains(run.err, "drive-letter rule"), std::string(c.name) == "drive-letter rule") << run.err;
    }
}

#if defined(_WIN32)
// A relative QuelvanePath with no such folder beside the program: a library planted under
// that name in the user's working folder must not be loaded.
TEST(TorvexctlStartup, LibraryPlantedInTheWorkingFolderIsNotLoaded)
{
    Workspace workspace;
    workspace.WriteIni("library");
    const std::string working = workspace.File("work"), planted = JoinPath(working, "library");
    std::filesystem::create_directories(planted);
    testing_support::CopyFile(workspace.SimFile("quelvane.dll"), JoinPath(planted, "quelvane.dll"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(working);
    ProgramRun run = workspace.Run({"info"});
    std::filesystem::current_path(before);
    EXPECT_EQ(run.status, 4) << Describe(run);
    EXPECT_TRUE(Contains(run.err, "could not be loaded from \"library\\quelvane.dll\": not found"));
    EXPECT_FALSE(testing_support::FileExists(JoinPath(planted, "quelvane-sim.journal")));
}
#endif

TEST(TorvexctlStartup, LogThatCannotBeWrittenIsWarnedAbout)
{
    Workspace workspace;
    std::filesystem::create_directories(workspace.File("Torvex.log"));  // no file can be opened there
    ProgramRun run = workspace.Run({"reference", "--log"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    std::string log = workspace.File("Torvex.log");
    EXPECT_TRUE(Contains(run.err,
                         "warning: this run's lines could not be written to " + log + ": \"" + log
                             + "\" is a folder, not a file\n"));
    EXPECT_TRUE(Contains(run.out, log + ": no lines were added by this run\n"));
}

TEST(TorvexctlStartup, OccupiedInterfaceIsNamedAsTheCause)
{
    Workspace workspace;
    workspace.WriteSimConfig("[sessions]\noccupied=1\n");
    ProgramRun run = workspace.Run({"version"});
    EXPECT_EQ(run.status, 4) << Describe(run);
    EXPECT_TRUE(Contains(run.err, "another program holds a session on the interface"));
}

TEST(TorvexctlStartup, UnusableModuleIsReported)
{
    Workspace workspace;
    ProgramRun missing = workspace.Run({"--dll", workspace.File("absent.dll"), "info"});
    EXPECT_EQ(missing.status, 3) << Describe(missing);
    EXPECT_TRUE(Contains(missing.err, "cannot load " + workspace.File("absent.dll")));

    // A loadable library without the module's exports.
    ProgramRun noExports = workspace.Run({"--dll", workspace.SimFile("quelvane.dll"), "version"});
    EXPECT_EQ(noExports.status, 3) << Describe(noExports);
    EXPECT_TRUE(Contains(noExports.err, "export(s) missing: _Init_Module_COM, _TelechargeComposant_COM"));
}

TEST(TorvexctlStartup, ModuleNamedByDllOptionKeepsItsLogBesideIt)
{
    Workspace workspace;
    std::string other = workspace.File("other");
    std::filesystem::create_directories(other);
    std::filesystem::rename(workspace.File("torvex.dll"), JoinPath(other, "torvex.dll"));
    std::filesystem::rename(workspace.File("torvex.ini"), JoinPath(other, "torvex.ini"));

    ProgramRun run = workspace.Run({"reference", "--dll", JoinPath(other, "torvex.dll")});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(ReadFile(JoinPath(other, "Torvex.log")), "Entre GetReferenceBoard_COM"));
    EXPECT_FALSE(testing_support::FileExists(workspace.File("Torvex.log")));
}

TEST(TorvexctlOutput, LogOptionShowsOnlyThisRunsLinesInUtf8)
{
    Workspace workspace;
    ASSERT_EQ(workspace.Run({"info"}).status, 0);
    ProgramRun run = workspace.Run({"clean", "--log"});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, workspace.File("Torvex.log") + ", lines added by this run:\n"));
    EXPECT_TRUE(Contains(run.out, "\n  Clean_ZR_COM CompteRendu com = 3 CompteRendu g\xC3\xA9n\xC3\xA9ral = 0\n"));
    EXPECT_TRUE(Contains(run.out, "\n  Sort Init_Module_COM\n"));
    EXPECT_TRUE(Lacks(run.out, "GetReferenceBoard_COM"));
}

TEST(TorvexctlOutput, JsonOutputIsOneObjectWithTheResults)
{
    Workspace workspace;
    ProgramRun info = workspace.Run({"--json", "info"});
    EXPECT_EQ(info.status, 0) << Describe(info);
    nlohmann::json infoJson = ParseSingleObject(info);
    EXPECT_EQ(infoJson["command"], "info");
    EXPECT_EQ(infoJson["status"], "ok");
    EXPECT_EQ(infoJson["exit_code"], 0);
    EXPECT_EQ(infoJson["reference"], "SIM-BOARD-0001");
    EXPECT_EQ(infoJson["flash"], "empty");
    EXPECT_TRUE(infoJson["flash_banner"].is_null());

    ProgramRun download = workspace.Run({"download", workspace.CopySample(), "--json", "--log"});
    EXPECT_EQ(download.status, 0) << Describe(download);
    nlohmann::json downloadJson = ParseSingleObject(download);
    EXPECT_EQ(downloadJson["result"], 1);
    EXPECT_EQ(downloadJson["outcome"], "accepted");
    EXPECT_EQ(downloadJson["size"], 512);
    EXPECT_EQ(downloadJson["banner"]["fields"], nlohmann::json(kSampleFields));
    EXPECT_EQ(downloadJson["verification"]["status"], "match");
    EXPECT_EQ(downloadJson["verification"]["flash_banner"]["fields"], nlohmann::json(kSampleFields));
    EXPECT_TRUE(downloadJson["elapsed_seconds"].is_number());
    const nlohmann::json& log = downloadJson["log"];
    ASSERT_TRUE(log.is_array());
    EXPECT_NE(std::find(log.begin(), log.end(), "Entre TelechargeComposant_COM"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(),
                        "Version \xC3\xA0 t\xC3\xA9l\xC3\xA9"
                        "charger : "
                        "TORVEX-SAMPLE1 APP 1.0.0 RUNTIM BOARDA 20261208"),
              log.end());
    EXPECT_TRUE(Contains(download.err, "downloading sample-application.bin...\n"));

    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    ProgramRun refused = workspace.Run({"--json", "download", workspace.CopySample(), "--force"});
    EXPECT_EQ(refused.status, 5);
    nlohmann::json refusedJson = ParseSingleObject(refused);
    EXPECT_EQ(refusedJson["status"], "error");
    EXPECT_EQ(refusedJson["exit_code"], 5);
    EXPECT_EQ(refusedJson["result"], -2);
    EXPECT_EQ(refusedJson["outcome"], "refused");
    EXPECT_TRUE(refusedJson["error"].is_string());

    ProgramRun usage = workspace.Run({"--json", "download"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(ParseSingleObject(usage)["exit_code"], 2);
}

TEST(TorvexctlOutput, BannerNeedsNoModule)
{
    Workspace workspace(false);
    ProgramRun run = workspace.Run({"banner", workspace.CopySample()});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(run.out,
              "file:   " + workspace.File("sample-application.bin") + "\nsize:   512 bytes\n" + SampleBannerText());

    ProgramRun small = workspace.Run({"banner", workspace.WriteApplication("small.bin", std::string(57, 'x'))});
    EXPECT_EQ(small.status, 0) << Describe(small);
    EXPECT_TRUE(Contains(small.out, "size:   57 bytes\nbanner: none"));

    ProgramRun missing = workspace.Run({"banner", workspace.File("absent.bin")});
    EXPECT_EQ(missing.status, 9) << Describe(missing);
}

TEST(TorvexctlOutput, UsageErrorsExitWithTheUsageStatus)
{
    Workspace workspace(false);
    const std::vector<std::vector<std::string>> commandLines = {
        {}, {"frobnicate"}, {"download"}, {"banner"}, {"--bogus", "info"}, {"version", "extra"}, {"--dll"},
    };
    for (const auto& arguments : commandLines) {
        ProgramRun run = workspace.Run(arguments);
        EXPECT_EQ(run.status, 2) << Describe(run);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Contains(run.err, "torvexctl --help"));
    }

    const std::pair<const char*, const char*> mistyped[] = {
        {"dowload", "unknown command \"dowload\": did you mean \"download\"?"},
        {"verison", "did you mean \"version\"?"},
        {"flash",
         "unknown command \"flash\": the commands are download, check, version, reference, info, clean, banner, "
         "history, manifest, replay;"},
    };
    for (const auto& [typed, message] : mistyped) {
        ProgramRun run = workspace.Run({"--log", typed, "x.bin"});
        EXPECT_EQ(run.status, 2) << Describe(run);
        EXPECT_TRUE(Contains(run.err, message));
    }

    // In French the parser's refusals read French too.
    const std::pair<std::vector<std::string>, const char*> inFrench[] = {
        {{"download"}, "erreur : FICHIER est obligatoire ; lancez"},
        {{"download", "--retries", "200", "x.bin"}, "--retries : la valeur 200 n'est pas entre 0 et 100"},
        {{"version", "extra"}, "argument inattendu : extra"},
        {{"history", "--separator", ";"}, "--separator ne s'emploie qu'avec --csv"},
    };
    for (const auto& [arguments, message] : inFrench) {
        std::vector<std::string> french = {"--lang", "fr"};
        french.insert(french.end(), arguments.begin(), arguments.end());
        ProgramRun run = workspace.Run(french);
        EXPECT_EQ(run.status, 2) << Describe(run);
        EXPECT_TRUE(Contains(run.err, message)) << run.err;
    }
}

TEST(TorvexctlOutput, HelpAndVersion)
{
    Workspace workspace(false);
    ProgramRun help = workspace.Run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* line :
         {"  2  usage error", "  3  torvex.dll not loadable", "  4  module initialisation failed",
          "  5  download refused", "  6  download failed", "  7  verification mismatch", "  8  query failed",
          "  9  application file", "  10  not an application file",
          "  11  the file's path cannot be handed to the module", "  12  the file differs from its manifest",
          "  13  manifest create", "  14  the board interface is in use by another torvexctl or torvexgui"})
        EXPECT_TRUE(Contains(help.out, line));
    // In French the usage's own headings, value names and help flag read French too.
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"--lang", "fr", "--help"},
                                                      {"--lang", "fr", "manifest", "create", "--help"},
                                                      {"--lang", "fr", "download", "--help"}}) {
        ProgramRun french = workspace.Run(arguments);
        EXPECT_EQ(french.status, 0);
        EXPECT_TRUE(Contains(french.out, "Utilisation : torvexctl")) << french.out;
        for (const char* english : {"Usage:", "Options:", "Subcommands:", "Positionals:", "REQUIRED", "SUBCOMMAND",
                                    " PATH", " TEXT ", "PRIVATE.pem", "Print this help", "Exit status", "INT in"})
            EXPECT_FALSE(Contains(french.out, english)) << english << "\n" << french.out;
    }

    ProgramRun version = workspace.Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "torvexctl for torvex module " TORVEX_VERSION_TEXT " (" TORVEX_PRODUCT_VERSION_TEXT ")\n");
}

namespace {

// An environment variable of this process, which the programs it runs inherit ("": unset).
void SetVariable(const char* variable, const char* value)
{
#if defined(_WIN32)
    _putenv_s(variable, value);
#else
    if (*value != 0)
        setenv(variable, value, 1);
    else
        unsetenv(variable);
#endif
}

void SetOperatorVariable(const char* name)
{
    SetVariable("TORVEX_OPERATOR", name);
}

}  // namespace

// The language: --lang, else TORVEX_LANG, else the user's display language (LC_ALL here);
// any other reads English. In French: each outcome's words, an unfinished update, a refusal
// and a success; the JSON is the same in every language.
TEST(TorvexctlOutput, FrenchWhenAskedAndTheSameJsonInEveryLanguage)
{
    struct Case {
        const char* lcAll;
        const char* torvexLang;
        std::vector<std::string> options;
        const char* said;
    };
    const char* const french = "contrôle : un fichier d'application : download l'accepterait\n";
    const char* const english = "check:  an application file: download would accept it\n";
    const Case cases[] = {
        {"C.UTF-8", "fr", {}, french},
        {"C.UTF-8", "fr", {"--lang", "en"}, english},
        {"C.UTF-8", "", {"--lang", "fr"}, french},
        {"C.UTF-8", "", {"--lang", "de"}, english},
#if !defined(_WIN32)
        // Wine takes a program's display language from the LC_ALL that Wine itself was
        // started with, not from the environment a parent passes on.
        {"fr_FR.UTF-8", "", {}, french},
        {"fr_FR.UTF-8", "en", {}, english},
#endif
    };
    Workspace workspace;
    std::string sample = workspace.CopySample();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.lcAll) + " TORVEX_LANG=" + c.torvexLang);
        SetVariable("LC_ALL", c.lcAll);
        SetVariable("TORVEX_LANG", c.torvexLang);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"check", sample});
        ProgramRun run = workspace.Run(arguments);
        EXPECT_TRUE(Contains(run.out, c.said)) << Describe(run);
    }
    SetVariable("LC_ALL", "C.UTF-8");
    SetVariable("TORVEX_LANG", "fr");
    std::string tiny = workspace.WriteApplication("tiny.bin", "0123");
    for (const std::string& file : {sample, tiny}) {
        ProgramRun json = workspace.Run({"check", "--json", file});
        EXPECT_EQ(json.out, workspace.Run({"check", "--json", "--lang", "en", file}).out);
        EXPECT_TRUE(file == sample || Contains(json.out, " is not an application file: ")) << Describe(json);
    }

    // Every outcome a record stores, in the table's words; an update that never finished.
    std::string records = "{\"record\":\"started\",\"id\":\"k\",\"time\":\"2026-12-01T07:00:00Z\",\"program\":"
                          "\"torvexctl\",\"file\":\"C:\\\\killed.bin\",\"board\":\"SIM-BOARD-0001\"}\n";
    for (const char* name :
         {"file_unreadable", "file_empty", "not_application", "path_unusable", "board_unavailable", "skipped",
          "accepted", "verify_mismatch", "verify_failed", "refused", "failed", "manifest_refused"})
        records += "{\"time\":\"2026-11-30T08:00:00Z\",\"board\":\"OTHER\",\"outcome\":\"" + std::string(name)
            + "\"}\n";
    WriteFile(workspace.File("torvex-history.jsonl"), records);
    ProgramRun table = workspace.Run({"history", "--wide"});
    for (const char* word : {"fichier illisible", "fichier vide", "pas une application", "chemin inutilisable",
                             "carte injoignable", "déjà à jour", "réussie", "contrôle : différente", "contrôle : échec",
                             "refusée : carte", "échec", "refusée : manifeste", "interrompue"})
        EXPECT_TRUE(Contains(table.out, word)) << word << "\n" << Describe(table);
    ProgramRun brief = workspace.Run({"history"});
    EXPECT_TRUE(Contains(brief.out, "30/11/2026 08:00  OTHER")) << Describe(brief);
    ProgramRun info = workspace.Run({"info"});
    EXPECT_TRUE(Contains(info.err,
                         "attention : la dernière écriture dans la carte SIM-BOARD-0001 ne s'est pas "
                         "terminée : torvexctl a commencé à y écrire C:\\killed.bin"))
        << Describe(info);

    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    ProgramRun refused = workspace.Run({"download", sample});
    EXPECT_EQ(refused.status, 5) << Describe(refused);
    EXPECT_TRUE(Contains(refused.out, "résultat : refusée par la carte (-2)\n")) << Describe(refused);
    EXPECT_TRUE(Contains(refused.err, "torvexctl: erreur : la carte a refusé l'application")) << Describe(refused);
    workspace.WriteSimConfig("");
    ProgramRun done = workspace.Run({"download", sample});
    EXPECT_EQ(done.status, 0) << Describe(done);
    EXPECT_TRUE(Contains(done.out, "résultat : acceptée, application démarrée\n")) << Describe(done);
    EXPECT_TRUE(Contains(done.out, "contrôle : la carte indique la bannière du fichier\n")) << Describe(done);
    EXPECT_EQ(
        nlohmann::json::parse(
            testing_support::SplitLines(ReadFile(workspace.File("torvex-history.jsonl"))).back())["result"]["words"],
        "accepted, application started; the board reports the file's banner");
    SetVariable("TORVEX_LANG", "");
}

TEST(TorvexctlHistory, DownloadsAreRecordedAndShownNewestFirst)
{
    Workspace workspace;
    // The operator: --operator, else TORVEX_OPERATOR, else none.
    EXPECT_EQ(workspace.Run({"download", workspace.CopySample(), "--operator", "Ann Lee"}).status, 0);
    SetOperatorVariable("Bo");
    EXPECT_EQ(workspace.Run({"download", workspace.CopySample()}).status, 0);  // skipped: the same application
    SetOperatorVariable("");
    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    EXPECT_EQ(workspace.Run({"download", workspace.CopySample(), "--force"}).status, 5);
    // A line torn off by a power cut at the end: skipped with a warning, later appends intact.
    std::string history = workspace.File("torvex-history.jsonl");
    WriteFile(history, ReadFile(history) + "{\"time\":\"2026-");

    ProgramRun table = workspace.Run({"history"});
    EXPECT_EQ(table.status, 0) << Describe(table);
    std::vector<std::string> rows = testing_support::SplitLines(table.out);
    ASSERT_EQ(rows.size(), 4u) << table.out;
    EXPECT_EQ(rows[0].rfind("TIME", 0), 0u);
    const char* const newestFirst[] = {"  refused: board  ", "  skipped  ", "  accepted  "};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(Contains(rows[i + 1], newestFirst[i]) && Contains(rows[i + 1], "SIM-BOARD-0001"));
    // The accepted and the refused downloads were written ahead: a started record each.
    EXPECT_TRUE(Contains(table.err, "line 6: incomplete record (cut off), skipped"));

    nlohmann::json json = ParseSingleObject(workspace.Run({"--json", "history", "--board", "SIM-BOARD-0001"}));
    ASSERT_EQ(json["records"].size(), 5u);
    EXPECT_EQ(json["records"][4]["record"], "started");
    EXPECT_EQ(json["records"][4]["id"], json["records"][3]["id"]);
    const nlohmann::json& accepted = json["records"][3];
    EXPECT_EQ(accepted["program"], "torvexctl");
    EXPECT_EQ(accepted["file_banner"], "TORVEX-SAMPLE1 APP 1.0.0 RUNTIM BOARDA 20261208");
    EXPECT_TRUE(accepted["banner_before"].is_null());
    EXPECT_EQ(accepted["banner_after"], accepted["file_banner"]);
    EXPECT_EQ(accepted["result"]["code"], 1);
    EXPECT_EQ(accepted["sha256"].get<std::string>().size(), 64u);
    EXPECT_EQ(json["records"][0]["result"]["code"], -2);
    EXPECT_EQ(accepted["operator"], "Ann Lee");
    EXPECT_EQ(json["records"][4]["operator"], "Ann Lee");  // on the started record too
    EXPECT_EQ(json["records"][2]["operator"], "Bo");
    EXPECT_TRUE(json["records"][0]["operator"].is_null());
    // A reference that is a prefix of the board's own selects nothing.
    EXPECT_TRUE(Contains(workspace.Run({"history", "--board", "SIM-BOARD-000"}).out,
                         "no update of board SIM-BOARD-000 recorded"));

    // --history moves it.
    std::string moved = workspace.File("moved.jsonl");
    EXPECT_EQ(workspace.Run({"--history", moved, "download", workspace.CopySample()}).status, 0);
    EXPECT_EQ(testing_support::SplitLines(ReadFile(moved)).size(), 1u);  // skipped: nothing written ahead
    EXPECT_EQ(testing_support::SplitLines(ReadFile(history)).size(), 6u);
}

// Two downloads started together: one writes, the other is turned away at once with the
// holder's words, and the history shows the writer running. The writer is then killed in
// the middle of the write (a real process kill): the next queries say first that the
// board may hold an incomplete application, the history shows the interrupted update;
// refusals by the board and by a manifest write nothing and leave the warning, and
// downloading the file again writes it in full although the board reports its banner.
TEST(TorvexctlConcurrency, OneUpdateAtATimeAndAnInterruptedOneOnRecord)
{
    Workspace workspace;
    workspace.WriteSimConfig("[download]\nbytes_per_second = 20000\n");
    // Forty seconds of writing: the queries below start several programs while it writes,
    // which takes long on a busy machine; the write is killed as soon as they are done.
    const std::string body(800000, 'A');
    const std::string images[] = {
        ApplicationImage(kSampleFields, body),
        ApplicationImage({"TORVEX-OTHER", "APP 2.0.0", "RUNTIM", "BOARDA", "20270101"}, body)};
    const std::string files[] = {workspace.WriteApplication("first.bin", images[0]),
                                 workspace.WriteApplication("second.bin", images[1])};
    cli_testing::StartedProgram one(workspace.Program(), {"download", files[0]}, workspace.File("out1.txt"),
                                    workspace.File("err1.txt"));
    cli_testing::StartedProgram two(workspace.Program(), {"download", files[1]}, workspace.File("out2.txt"),
                                    workspace.File("err2.txt"));
    ASSERT_NE(one.ProcessId(), 0u);
    ASSERT_NE(two.ProcessId(), 0u);
    int refused = -1;
    for (int i = 0; i < 1200 && refused < 0; ++i) {
        if (!one.Running())
            refused = 0;
        else if (!two.Running())
            refused = 1;
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_GE(refused, 0) << "neither download was turned away";
    cli_testing::StartedProgram& loser = refused == 0 ? one : two;
    cli_testing::StartedProgram& writer = refused == 0 ? two : one;
    const std::string& file = files[1 - refused];
    const std::string& image = images[1 - refused];
    std::string loserErr = ReadFile(workspace.File(refused == 0 ? "err1.txt" : "err2.txt"));
    EXPECT_EQ(loser.Wait(0), 14) << loserErr;
    EXPECT_TRUE(Contains(loserErr,
                         "torvexctl: error: the board interface is in use: torvexctl (process "
                             + std::to_string(writer.ProcessId()) + ") since "));
    EXPECT_TRUE(Contains(loserErr, ", downloading " + file + "; nothing was done"));
    ProgramRun query = workspace.Run({"--json", "info"});  // a query too, before it loads the module
    EXPECT_EQ(query.status, 14) << Describe(query);
    EXPECT_EQ(ParseSingleObject(query)["board_holder"]["process_id"], writer.ProcessId());
    ProgramRun inFrench = workspace.Run({"--lang", "fr", "info"});  // the holder's English said in French
    EXPECT_TRUE(Contains(inFrench.err, ", en train de télécharger " + file + " ; rien n'a été fait"))
        << Describe(inFrench);

    // Running, in the table, the CSV and the JSON's attempts; the stored records unchanged.
    std::vector<std::string> runningRows = testing_support::SplitLines(workspace.Run({"history"}).out);
    ASSERT_EQ(runningRows.size(), 2u);
    EXPECT_TRUE(Contains(runningRows[1], "  SIM-BOARD-0001  running  "));
    std::string runningCsv = testing_support::SplitLines(workspace.Run({"history", "--csv"}).out).at(1);
    EXPECT_TRUE(Contains(runningCsv, ",running,")) << runningCsv;
    EXPECT_TRUE(Contains(runningCsv, ",torvexctl,\"running since ")) << runningCsv;
    nlohmann::json listed = ParseSingleObject(workspace.Run({"--json", "history"}));
    EXPECT_EQ(listed["attempts"].at(0)["outcome"], "running");
    EXPECT_EQ(listed["records"].at(0)["record"], "started");

    // Killed while the flash grows.
    const std::string flash = workspace.SimFile("quelvane-sim.flash");
    auto flashSize = [&] { return testing_support::FileExists(flash) ? ReadFile(flash).size() : 0; };
    for (int i = 0; i < 1200 && flashSize() < 1000 && writer.Running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(writer.Running()) << ReadFile(workspace.File(refused == 0 ? "err2.txt" : "err1.txt"));
    writer.Kill();
    ASSERT_GT(flashSize(), 0u);
    ASSERT_LT(flashSize(), image.size());

    const std::string warning = "torvexctl: warning: the last write into board SIM-BOARD-0001 did not finish: "
                                "torvexctl on ";
    ProgramRun info = workspace.Run({"info"});
    EXPECT_EQ(info.status, 0) << Describe(info);
    EXPECT_EQ(info.err.rfind(warning, 0), 0u) << info.err;
    EXPECT_TRUE(Contains(info.err, " started writing " + file + " into it at "));
    EXPECT_TRUE(Contains(info.err, "even if its banner looks right: download the application again"));
    EXPECT_TRUE(Contains(info.out, "board reference: SIM-BOARD-0001\napplication in flash:\n"));
    EXPECT_EQ(workspace.Run({"version"}).err.rfind(warning, 0), 0u);

    ProgramRun history = workspace.Run({"history"});
    std::vector<std::string> rows = testing_support::SplitLines(history.out);
    ASSERT_GE(rows.size(), 2u) << history.out;
    EXPECT_TRUE(Contains(rows[1], "  SIM-BOARD-0001  interrupted  " + std::filesystem::path(file).filename().string()))
        << rows[1];
    nlohmann::json records = ParseSingleObject(workspace.Run({"--json", "history"}))["records"];
    ASSERT_EQ(records.size(), 1u);  // the writer's started record, and no outcome; nothing of the loser
    EXPECT_EQ(records[0]["record"], "started");
    EXPECT_EQ(records[0]["file"], file);

    // Attempts that write nothing: refused by the board, then by the manifest of a file
    // for other boards. Each says the warning again, with what to do.
    const std::string& otherFile = files[refused];
    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    ProgramRun byBoard = workspace.Run({"download", otherFile});
    EXPECT_EQ(byBoard.status, 5) << Describe(byBoard);
    EXPECT_TRUE(Contains(byBoard.err, "looks right: download the application again"));
    workspace.WriteSimConfig("");
    ASSERT_EQ(workspace.Run({"manifest", "create", otherFile, "--board", "LAB-*"}).status, 0);
    ProgramRun byManifest = workspace.Run({"download", otherFile});
    EXPECT_EQ(byManifest.status, 12) << Describe(byManifest);
    EXPECT_TRUE(Contains(byManifest.err, warning));
    EXPECT_EQ(workspace.Run({"info"}).err.rfind(warning, 0), 0u);

    ProgramRun again = workspace.Run({"download", file});
    EXPECT_EQ(again.status, 0) << Describe(again);
    // Said when the file is about to be written (after what is said of the file itself).
    EXPECT_TRUE(Contains(again.err, warning)) << again.err;
    EXPECT_TRUE(Contains(again.err, "looks right: this download writes the file in full"));
    EXPECT_TRUE(Contains(again.out, "writing it again: the last write into this board ("));
    EXPECT_TRUE(Contains(again.out, ") was interrupted, so the board may hold an incomplete application"));
    EXPECT_EQ(ReadFile(flash), image);
    ProgramRun after = workspace.Run({"info"});
    EXPECT_EQ(after.err, "");
    EXPECT_TRUE(Contains(testing_support::SplitLines(workspace.Run({"history"}).out).at(1), "  accepted  "));
}

// A release beside its manifest, made by `manifest create`, with the maker's key trusted
// beside the module, written over a board that carries release 1.5.0 (as the history knows
// from that file's manifest): each refusal leaves the flash as it was and downloads
// nothing; the overrides write the file and are recorded.
TEST(TorvexctlManifest, RefusalsWriteNothingAndOverridesAreRecorded)
{
    const std::vector<std::string> carriedFields = {"TORVEX-SAMPLE1", "APP 1.5.0", "RUNTIM", "BOARDA", "20261208"};
    const std::string carried = ApplicationImage(carriedFields);
    const std::string image = ApplicationImage(kSampleFields, std::string(456, 'b'));  // 512 bytes
    const std::string release = std::string(CLI_TEST_KEYS) + "/release.pem";
    const std::string trusted
        = "release-2026.pem (key 223e dd85 00f3 fb76 0fb5 f378 0e71 2785 0c12 1fc8 de0a acfd d6c2 9687 6c72 fe12)";
    struct Case {
        const char* name;
        std::vector<std::string> create;  // `manifest create app.bin` options; {"-"}: no manifest
        std::function<void(const std::string& app)> damage;
        bool trustKeys;
        std::vector<std::string> options;  // after `download app.bin`
        std::string message;               // on stderr when refused, on stdout or stderr when written
        const char* overrides = nullptr;   // recorded when written
        std::string alsoSaid = "";         // on stdout or stderr as well
        const char* earlier = nullptr;     // a release version torvexctl wrote first, from earlier.bin
        bool earlierSigned = false;        // with the trusted key (else allowed unsigned)
    };
    const auto cutTo300 = [](const std::string& app) { WriteFile(app, ReadFile(app).substr(0, 300)); };
    const auto changeOneByte = [](const std::string& app) {
        std::string bytes = ReadFile(app);
        bytes[400] ^= 0x20;
        WriteFile(app, bytes);
    };
    const auto editNotes = [](const std::string& app) {
        std::string text = ReadFile(app + ".manifest.json");
        text.replace(text.find("\"notes\": \"fix\""), 14, "\"notes\": \"fox\"");
        WriteFile(app + ".manifest.json", text);
    };
    const std::vector<Case> cases = {
        {"cut copy",
         {"--key", release},
         cutTo300,
         true,
         {},
         "app.bin is refused: the file is 300 bytes, its manifest says 512: the copy is incomplete; nothing was "
         "written"},
        {"one changed byte",
         {"--key", release},
         changeOneByte,
         true,
         {"--force"},
         "the file was changed or damaged after its maker released it"},
        {"wrong board",
         {"--board", "LAB-*", "--key", release},
         nullptr,
         true,
         {},
         "the board's reference is \"SIM-BOARD-0001\", and the file is meant for \"LAB-*\" only"},
        {"older version",
         {"--version", "1.2.0", "--key", release},
         nullptr,
         true,
         {"--force"},
         "the file's version 1.2.0 is older than 1.5.0, which the board carries; nothing was written: choose the "
         "board's release or a newer one; to go back to this older release on purpose, add --allow-older (unsafe)"},
        {"older version allowed",
         {"--version", "1.2.0", "--board", "SIM-*", "--key", release},
         nullptr,
         true,
         {"--allow-older"},
         "the file's version 1.2.0 is older than 1.5.0, which the board carries: written anyway",
         "allow-older"},
        {"unsigned",
         {},
         nullptr,
         true,
         {"--force"},
         "its manifest is not signed, and this site writes only files whose manifest one of its trusted keys signed",
         nullptr,
         "nothing was written: ask the file's maker for a manifest signed with a key this site trusts; to write the "
         "file anyway, add --allow-unsigned (unsafe)"},
        {"unsigned allowed",
         {},
         nullptr,
         true,
         {"--allow-unsigned"},
         "one of its trusted keys signed: written anyway, as asked",
         "allow-unsigned"},
        {"foreign key",
         {"--key", std::string(CLI_TEST_KEYS) + "/foreign.pem"},
         nullptr,
         true,
         {},
         "its manifest is signed by key 7792 0e31 b628 b506 4097 23b3 8ad3 b6c4 6c6f 877f 4670 6a28 f062 47be c622 "
         "6ebb, which is not among this site's trusted keys; nothing was written: if this signer's files may be "
         "written "
         "here, ask whoever manages this site's trusted keys to add its public key to ",
         nullptr,
         "trusted-keys; to write this file anyway, add --allow-unsigned (unsafe)"},
        {"edited after signing",
         {"--notes", "fix", "--key", release},
         editNotes,
         true,
         {"--allow-unsigned", "--allow-older", "--force"},
         "its manifest was edited after " + trusted + " signed it"},
        {"no manifest",
         {"-"},
         nullptr,
         true,
         {},
         "it has no manifest (app.bin.manifest.json), and this site writes only files whose manifest one of its "
         "trusted keys signed; nothing was written"},
        {"no manifest, no trusted keys",
         {"-"},
         nullptr,
         false,
         {},
         "app.bin: it has no manifest (app.bin.manifest.json): its completeness could not be checked",
         ""},
        {"signed by a trusted key",
         {"--version", "1.6.0", "--notes", "Fixes the start-up delay.", "--key", release},
         nullptr,
         true,
         {},
         "manifest: size, SHA-256 and banner match its manifest (version 1.6.0); its manifest is signed by " + trusted,
         "",
         "\nnotes:  Fixes the start-up delay.\nboard:  "},
        // Only releases written through the trusted key make the floor, and a refusal names
        // the update it came from.
        {"signed release after an unsigned 9.9.9",
         {"--version", "7.3.1", "--key", release},
         nullptr,
         true,
         {},
         "manifest: size, SHA-256 and banner match its manifest (version 7.3.1)",
         "",
         "",
         "9.9.9"},
        {"older than a signed release written before",
         {"--version", "1.2.0", "--key", release},
         nullptr,
         true,
         {},
         "the file's version 1.2.0 is older than 1.6.0, which torvexctl on ",
         nullptr,
         "",
         "1.6.0",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        WriteFile(workspace.SimFile("quelvane-sim.flash"), carried);
        WriteFile(workspace.File("torvex-history.jsonl"),
                  "{\"board\":\"SIM-BOARD-0001\",\"outcome\":\"accepted\",\"file_banner\":\"TORVEX-SAMPLE1 APP 1.5.0 "
                  "RUNTIM BOARDA 20261208\",\"manifest\":{\"version\":\"1.5.0\",\"signer\":{\"key_file\":"
                  "\"release-2026.pem\"},\"overrides\":[]}}\n");
        if (c.trustKeys) {
            std::filesystem::create_directories(workspace.File("trusted-keys"));
            testing_support::CopyFile(std::string(CLI_TEST_KEYS) + "/release.pub.pem",
                                      JoinPath(workspace.File("trusted-keys"), "release-2026.pem"));
        }
        if (c.earlier != nullptr) {
            std::string earlier = workspace.WriteApplication(
                "earlier.bin", ApplicationImage({"TORVEX-EARLIER", "APP", "RUNTIM", "BOARDA", "20270101"}));
            std::vector<std::string> create = {"manifest", "create", earlier, "--version", c.earlier};
            if (c.earlierSigned)
                create.insert(create.end(), {"--key", release});
            ASSERT_EQ(workspace.Run(create).status, 0);
            std::vector<std::string> download = {"download", earlier};
            if (!c.earlierSigned)
                download.push_back("--allow-unsigned");
            ProgramRun written = workspace.Run(download);
            ASSERT_EQ(written.status, 0) << Describe(written);
            std::filesystem::remove(workspace.SimFile("quelvane-sim.journal"));  // what follows is the case's
        }
        std::string app = workspace.WriteApplication("app.bin", image);
        if (c.create != std::vector<std::string>{"-"}) {
            std::vector<std::string> create = {"manifest", "create", app};
            create.insert(create.end(), c.create.begin(), c.create.end());
            ProgramRun made = workspace.Run(create);
            ASSERT_EQ(made.status, 0) << Describe(made);
        }
        if (c.damage)
            c.damage(app);
        std::vector<std::string> download = {"download", app};
        download.insert(download.end(), c.options.begin(), c.options.end());
        ProgramRun run = workspace.Run(download);
        const std::string& expected = c.message;
        const std::string record = ReadFile(workspace.File("torvex-history.jsonl"));
        nlohmann::json last = nlohmann::json::parse(testing_support::SplitLines(record).back());
        if (c.overrides == nullptr) {
            EXPECT_EQ(run.status, 12) << Describe(run);
            EXPECT_TRUE(Contains(run.err, expected));
            EXPECT_TRUE(Contains(run.err, c.alsoSaid));
            if (c.earlier != nullptr) {
                EXPECT_TRUE(Contains(run.err, "wrote into this board at 20"));
                EXPECT_TRUE(Contains(run.err, " from " + workspace.File("earlier.bin")));
            }
            EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")),
                      c.earlier ? ReadFile(workspace.File("earlier.bin")) : carried);
            EXPECT_TRUE(Lacks(testing_support::FileExists(workspace.SimFile("quelvane-sim.journal"))
                                  ? ReadFile(workspace.SimFile("quelvane-sim.journal"))
                                  : std::string(),
                              kImagePayload));
            EXPECT_EQ(last["outcome"], "manifest_refused");
        } else {
            EXPECT_EQ(run.status, 0) << Describe(run);
            EXPECT_TRUE(Contains(run.out + run.err, expected));
            EXPECT_TRUE(Contains(run.out, c.alsoSaid));
            EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), image);
            EXPECT_EQ(last["outcome"], "accepted");
            EXPECT_EQ(last["manifest"]["overrides"],
                      *c.overrides ? nlohmann::json::array({c.overrides}) : nlohmann::json::array());
            EXPECT_EQ(last["manifest"]["checked"], c.create != std::vector<std::string>{"-"});
        }
    }
}

// manifest create and check without a board: what they write and say, and their statuses.
TEST(TorvexctlManifest, CreateAndCheckNeedNoBoard)
{
    Workspace workspace;
    std::string app = workspace.CopySample();
    const std::string keys = CLI_TEST_KEYS;
    ProgramRun missing = workspace.Run({"manifest", "check", app});
    EXPECT_EQ(missing.status, 12) << Describe(missing);
    EXPECT_TRUE(Contains(missing.err, "sample-application.bin has no manifest ("));

    ProgramRun created = workspace.Run({"manifest", "create", app, "--version", "1.0.0", "--board", "SIM-BOARD-*",
                                        "--board", "LAB-??", "--notes", "first", "--key", keys + "/release.pem"});
    EXPECT_EQ(created.status, 0) << Describe(created);
    EXPECT_TRUE(Contains(created.out, "wrote:  " + app + ".manifest.json\n"));
    nlohmann::json manifest = nlohmann::json::parse(ReadFile(app + ".manifest.json"));
    EXPECT_EQ(manifest["boards"], nlohmann::json::array({"SIM-BOARD-*", "LAB-??"}));
    EXPECT_EQ(manifest["size"], 512);

    // No trusted keys: the signature is said not to be checked, unless the maker names his key.
    const std::string releaseKey = "223e dd85 00f3 fb76 0fb5 f378 0e71 2785 0c12 1fc8 de0a acfd d6c2 9687 6c72 fe12";
    ProgramRun unchecked = workspace.Run({"manifest", "check", app});
    EXPECT_EQ(unchecked.status, 0) << Describe(unchecked);
    EXPECT_TRUE(
        Contains(unchecked.out, "signer:   not checked: no trusted keys are installed; it names key " + releaseKey));
    EXPECT_TRUE(Contains(unchecked.out, "\nnotes:    first\n"));
    EXPECT_TRUE(Contains(unchecked.err, "its signature was not checked: this site has no trusted keys ("));
    nlohmann::json uncheckedJson = nlohmann::json::parse(
        workspace.Run({"--json", "manifest", "check", app}).out)["manifest"];
    EXPECT_EQ(uncheckedJson["signature"], "not_checked");
    EXPECT_EQ(uncheckedJson["maker_notes"], "first");
    EXPECT_EQ(uncheckedJson["remarks"].size(), 1u);
    EXPECT_EQ(uncheckedJson["notes"], uncheckedJson["remarks"]);
    ProgramRun ownKey = workspace.Run({"manifest", "check", app, "--key", keys + "/release.pub.pem"});
    EXPECT_EQ(ownKey.status, 0) << Describe(ownKey);
    EXPECT_TRUE(Contains(ownKey.out, "/release.pub.pem (key " + releaseKey + "), the key named with --key\n"));
    ProgramRun otherKey = workspace.Run({"manifest", "check", app, "--key", keys + "/foreign.pub.pem"});
    EXPECT_EQ(otherKey.status, 12) << Describe(otherKey);
    EXPECT_TRUE(Contains(otherKey.err, "its manifest is signed by key " + releaseKey + ", not by "));

    std::filesystem::create_directories(workspace.File("trusted-keys"));
    testing_support::CopyFile(keys + "/release.pub.pem", JoinPath(workspace.File("trusted-keys"), "maker.pem"));
    ProgramRun checked = workspace.Run({"manifest", "check", app});
    EXPECT_EQ(checked.status, 0) << Describe(checked);
    EXPECT_TRUE(Contains(checked.out, "boards:   SIM-BOARD-*, LAB-??\nsigner:   maker.pem (key " + releaseKey + ")\n"));

    WriteFile(app, ReadFile(app) + "x");
    ProgramRun longer = workspace.Run({"manifest", "check", app});
    EXPECT_EQ(longer.status, 12) << Describe(longer);
    EXPECT_TRUE(Contains(longer.err, "the file is 513 bytes, its manifest says 512: it has 1 bytes more"));

    const std::pair<std::vector<std::string>, int> refused[] = {
        {{"manifest", "create", app, "--version", "1.0"}, 2},
        {{"manifest", "create", app, "--board", ""}, 2},
        {{"manifest", "create", app, "--key", keys + "/release.pub.pem"}, 13},
        {{"manifest", "create", workspace.File("absent.bin")}, 9},
        {{"manifest", "check", app, "--key", keys + "/release.pem"}, 13},
        {{"manifest", app}, 2},
    };
    for (const auto& [arguments, status] : refused)
        EXPECT_EQ(workspace.Run(arguments).status, status) << arguments[2];
}

TEST(CommandNames, MistypedNamesFindTheirCommand)
{
    const std::pair<const char*, const char*> cases[] = {
        {"dowload", "download"},
        {"DOWNLOAD", "download"},
        {"verison", "version"},
        {"ref", "reference"},
        {"chek", "check"},
        {"flash", ""},
        {"x", ""},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(torvexctl::ClosestCommand(typed), expected) << typed;
}
