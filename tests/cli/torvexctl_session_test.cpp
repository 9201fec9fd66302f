// torvexctl run as a child process against the simulated board, from a scratch folder laid
// out like the build's bin/ (program, module, torvex.ini, simulator/): its output, its exit
// status, and what reached the board.
#include "cli_test_paths.h"
#include "program_run.h"
#include "support/files.h"
#include "test_paths.h"
#include "torvex_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using cli_testing::ProgramRun;
using cli_testing::RunProgram;
using testing_support::JoinPath;
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

// An application file: 8 header bytes, the banner's fields (zero-terminated, padded to 48
// bytes) and `bodySize` body bytes.
std::string ApplicationImage(const std::vector<std::string>& fields, std::size_t bodySize = 100)
{
    std::string banner;
    for (const std::string& field : fields)
        banner += field + '\0';
    banner.resize(48, '\0');
    std::string body;
    for (std::size_t i = 0; i < bodySize; ++i)
        body += static_cast<char>(i * 13 + 5);
    return std::string("HDR-0001") + banner + body;
}

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
        testing_support::CopyFile(TORVEX_MODULE_FILE, File("torvex.dll"));
        testing_support::CopyFile(TORVEX_SIM_FILE, JoinPath(SimFolder(), "quelvane.dll"));
#if defined(_WIN32)
        WriteIni("simulator");  // resolved against the program's folder
#else
        WriteIni(SimFolder());
#endif
    }

    std::string Program() const { return File(kProgramName); }
    std::string File(const std::string& name) const { return folder_.File(name); }
    std::string SimFolder() const { return folder_.File("simulator"); }
    std::string SimFile(const std::string& name) const { return JoinPath(SimFolder(), name); }

    void WriteIni(const std::string& libraryFolder) const
    {
        WriteFile(File("torvex.ini"), "[TorvexPath]\nQuelvanePath=" + libraryFolder + "\n");
    }
    void WriteSimConfig(const std::string& text) const { WriteFile(SimFile("quelvane-sim.ini"), text); }

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

::testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" not found in:\n" << text;
}

::testing::AssertionResult Lacks(const std::string& text, const std::string& part)
{
    if (text.find(part) == std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << part << "\" unexpectedly found in:\n" << text;
}

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
    EXPECT_EQ(version.out, "application in flash:\n"
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
    };
    const Case cases[] = {
        {"[command.30]\ncom=19\nresult=0\n", 5, "result: refused by the board (-2)\n", false},
        {"[command.30]\ncom=51\nresult=0\n", 5, "result: refused by the board (-2)\n", false},
        {"[command.30]\ncom=50\nresult=0\n", 6, "result: download failed (-1)\n", false},
        {"[command.30]\ncom=2\nresult=0\n", 6, "result: failed (0)\n", false},
        // Written, but the application could not be started.
        {"[command.12]\nresult=0\n", 6, "result: failed (0)\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.simConfig);
        Workspace workspace;
        workspace.WriteSimConfig(c.simConfig);
        ProgramRun run = workspace.Run({"download", workspace.CopySample()});
        EXPECT_EQ(run.status, c.status) << Describe(run);
        EXPECT_TRUE(Contains(run.out, c.resultLine));
        EXPECT_TRUE(Lacks(run.out, "verify"));
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
    };
    // The board answers the version query with the banner AB, C and three empty fields.
    const char* otherBanner = "[command.fa]\nreply=41 42 00 43 00 00 00 00\n";
    const Case cases[] = {
        {"other banner", otherBanner, {}, 7, "", "the board reports \"AB\" \"C\" \"\" \"\" \"\" but the file carries"},
        {"other banner, not verified", otherBanner, {"--no-verify"}, 0, "result: accepted", ""},
        {"nothing stored", "[command.30]\nstore=0\n", {}, 7, "", "no application in flash after the download"},
        {"version query fails", "[command.fa]\ncom=2\n", {}, 8, "", "version query failed"},
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
    }
}

TEST(TorvexctlBoard, FileWithoutBannerIsDownloadedWithoutVerification)
{
    Workspace workspace;
    std::string image(57, 'x');
    ProgramRun run = workspace.Run({"download", workspace.WriteApplication("small.bin", image)});
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "banner: none (a banner needs a file of 58 bytes or more)\n"));
    EXPECT_TRUE(Contains(run.out, "verify: skipped, the file carries no banner\n"));
    EXPECT_EQ(ReadFile(workspace.SimFile("quelvane-sim.flash")), image);
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
    EXPECT_EQ(run.out, "clean-up done\n");
    std::string journal = ReadFile(workspace.SimFile("quelvane-sim.journal"));
    EXPECT_TRUE(Contains(journal, "CleanupZR\n"));
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
    EXPECT_TRUE(Contains(run.err, "initialisation failed (0): check torvex.ini beside " + workspace.File("torvex.dll")
                                   + " (key QuelvanePath in [TorvexPath]) and " + workspace.File("Torvex.log")));
    EXPECT_TRUE(Contains(run.err, "cause: the communication library could not be loaded from \""
                                   + workspace.File("nowhere") + "\\quelvane.dll\""));

    std::filesystem::remove(workspace.File("torvex.ini"));
    ProgramRun noIni = workspace.Run({"version"});
    EXPECT_EQ(noIni.status, 4) << Describe(noIni);
    EXPECT_TRUE(Contains(noIni.err, "cause: " + workspace.File("torvex.ini") + " does not exist"));
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
    EXPECT_NE(std::find(log.begin(), log.end(), "Version \xC3\xA0 t\xC3\xA9l\xC3\xA9" "charger : "
                                                "TORVEX-SAMPLE1 APP 1.0.0 RUNTIM BOARDA 20261208"),
              log.end());
    EXPECT_TRUE(Contains(download.err, "downloading sample-application.bin...\n"));

    workspace.WriteSimConfig("[command.30]\ncom=19\nresult=0\n");
    ProgramRun refused = workspace.Run({"--json", "download", workspace.CopySample()});
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
    EXPECT_EQ(run.out, "file:   " + workspace.File("sample-application.bin") + "\nsize:   512 bytes\n" + SampleBannerText());

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
}

TEST(TorvexctlOutput, HelpAndVersion)
{
    Workspace workspace(false);
    ProgramRun help = workspace.Run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* line : {"  2  usage error", "  3  torvex.dll not loadable", "  4  module initialisation failed",
                             "  5  download refused", "  6  download failed", "  7  verification mismatch",
                             "  8  query failed", "  9  application file"})
        EXPECT_TRUE(Contains(help.out, line));

    ProgramRun version = workspace.Run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "torvexctl for torvex module " TORVEX_VERSION_TEXT " (" TORVEX_PRODUCT_VERSION_TEXT ")\n");
}
