// torvexctl replay as a support engineer runs it: field logs of every kind the module
// writes, made by real hosts (torvexctl, and torvexcalls with a calls file) against the
// simulator, come back line for line through a replay run from another installation;
// then the inputs a replay must refuse, or read only in part, without a crash and without
// writing outside its folder.
#include "cli_test_paths.h"
#include "program_run.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "host/module_copy.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

using cli_testing::ProgramRun;
using testing_support::Contains;
using testing_support::JoinPath;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

using Commands = std::vector<std::vector<std::string>>;

#if defined(_WIN32)
const char kExe[] = ".exe";
#else
const char kExe[] = "";
#endif

std::string Describe(const ProgramRun& run)
{
    return "exit " + std::to_string(run.status) + "\n--- stdout\n" + run.out + "--- stderr\n" + run.err;
}

// An installation as the release lays it out in one folder: torvexctl, torvexcalls, the
// module, torvex.ini and simulator\ (the simulator, or a library lacking entry points).
class Installation {
public:
    explicit Installation(const std::string& library = "") : folder_("replay")
    {
        testing_support::CopyFile(CLI_TEST_PROGRAM, Program("torvexctl"));
        testing_support::CopyFile(CLI_TEST_CALLS_PROGRAM, Program("torvexcalls"));
        testing_support::CopyFile(host::BuiltModuleFile(), File("torvex.dll"));
        std::filesystem::create_directories(File("simulator"));
        testing_support::CopyFile(host::SimulatorFile(library), JoinPath(File("simulator"), "quelvane.dll"));
        LibraryFolder(File("simulator"));
    }

    std::string File(const std::string& name) const { return folder_.File(name); }
    std::string Program(const std::string& name) const { return File(name + kExe); }
    void LibraryFolder(const std::string& folder) const
    {
        WriteFile(File("torvex.ini"), "[TorvexPath]\nQuelvanePath=" + folder + "\n");
    }

    ProgramRun Run(const std::string& program, const std::vector<std::string>& arguments) const
    {
        return cli_testing::RunProgram(Program(program), arguments, File("stderr.txt"));
    }

private:
    ScratchFolder folder_;
};

// The lab where every field log is replayed: a standard installation of its own.
const Installation& Lab()
{
    static const Installation lab;
    return lab;
}

ProgramRun Replay(const std::string& log, const std::string& setup, const std::vector<std::string>& options = {})
{
    std::vector<std::string> arguments = {"replay", log, "--into", Lab().File(setup)};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return Lab().Run("torvexctl", arguments);
}

// A field installation and what its host did there; its Torvex.log, taken to the lab.
struct Field {
    const char* name;
    const char* library;             // "" or a variant lacking entry points
    const char* simConfig;           // the field board (a script where answers change from call to call)
    Commands torvexctl;              // torvexctl runs, one process each ({"ABSENT"}, {"PRESENT"}: torvex.ini)
    const char* calls;               // or: a host's calls, one process a block (torvexcalls)
    std::vector<std::string> lines;  // lines the log must hold: the kinds it stands for
};

std::string MakeFieldLog(const Field& c, const std::string& log)
{
    Installation field(c.library);
    WriteFile(JoinPath(field.File("simulator"), "quelvane-sim.ini"), c.simConfig);
    testing_support::CopyFile(CLI_TEST_SAMPLE_FILE, field.File("app.bin"));
    std::string sample = ReadFile(CLI_TEST_SAMPLE_FILE);
    WriteFile(field.File("short.bin"), sample.substr(0, 57));
    WriteFile(field.File("empty.bin"), "");
    for (const std::vector<std::string>& arguments : c.torvexctl) {
        std::vector<std::string> withFiles;
        for (const std::string& argument : arguments)
            withFiles.push_back(argument == "APP" ? field.File("app.bin") : argument);
        if (arguments == std::vector<std::string>{"ABSENT"})
            field.LibraryFolder(field.File("nowhere"));
        else if (arguments == std::vector<std::string>{"PRESENT"})
            field.LibraryFolder(field.File("simulator"));
        else
            field.Run("torvexctl", withFiles);
    }
    if (c.calls[0] != '\0') {
        WriteFile(field.File("host-calls.txt"), c.calls);
        ProgramRun host = field.Run("torvexcalls", {field.File("host-calls.txt")});
        EXPECT_EQ(host.status, 0) << Describe(host);
    }
    testing_support::CopyFile(field.File("Torvex.log"), log);
    std::string text = ReadFile(log);
    for (const std::string& line : c.lines)
        EXPECT_TRUE(Contains(text, line)) << "the field log of " << c.name << " lacks a line it is made for";
    return log;
}

// The field's log in the lab, made once for each field.
std::string FieldLog(const Field& c)
{
    static std::map<std::string, std::string> made;
    auto found = made.find(c.name);
    if (found != made.end())
        return found->second;
    std::filesystem::create_directories(Lab().File("logs"));
    return made[c.name] = MakeFieldLog(c, JoinPath(Lab().File("logs"), std::string(c.name) + ".log"));
}

std::string Report(const std::string& label, int com, int general)
{
    return label + " CompteRendu com = " + std::to_string(com)
        + " CompteRendu g\xE9n\xE9ral = " + std::to_string(general);
}

// A technician's torvexctl runs against a board whose answers change from run to run (the
// counts go on across processes): every initialisation failure, every download outcome,
// the queries, then the library missing and present again.
const Field kTechnician = {
    "technician",
    "",
    "[sessions.1]\noccupied = 0,1\n[router.1]\nresult = 0\n[open.1]\nresult = 0\ncom = 9\ngeneral = -4\n[init.1]\n"
    "result = 0\ncom = 5\n[command.30.1]\nresult = 0\ncom = 19\n[command.30.2]\nresult = 0\ncom = 50\ngeneral = 4\n"
    "[command.12.1]\nresult = 0\ncom = 9\n[boardinfo]\nreference = REF 42/B-7\n",
    {{"info"},
     {"info"},
     {"info"},
     {"info"},
     {"download", "APP"},
     {"download", "APP"},
     {"download", "APP"},
     {"download", "APP", "--force"},
     {"reference"},
     {"clean"},
     {"ABSENT"},
     {"info"},
     {"PRESENT"},
     {"info"}},
    "",
    {"WARNING VCI OCCUPED", "_CreateRouter KO", Report("_OpenCommSession NOK", 9, -4),
     Report("_InitialiseCommBoard_Exp", 5, 0), Report("_ExecuteCommand TelechargeComposant_COM", 19, 0),
     Report("_ExecuteCommand TelechargeComposant_COM", 50, 4), Report("_ExecuteCommand Saut_Appli", 9, 0),
     "Version Composant  : TORVEX-SAMPLE1", "Reference Carte REF 42/B-7", "Clean_ZR_COM", "Status = 0"}};

// One process of a host that retries in the same process: calls before the
// initialisation, a board initialisation that fails, then a library gone and still in
// use, downloads of a 57-byte, an empty and a missing file and of no path; a second
// process initialises twice and downloads a file the board fails to write.
const Field kRetryingHost = {
    "retrying_host",
    "",
    "[init.1]\nresult = 0\ncom = 5\n[init.2]\nresult = 0\n[command.07.2]\nresult = 0\n[command.30.2]\nresult = 0\n"
    "com = 50\n[open.9]\nresult = 0\ncom = 33\ngeneral = 2\n",
    {},
    "process\nversion\ninit\ninit\nversion\nlibrary absent\ninit\nversion\nreference\nlibrary present\n"
    "download short.bin\ndownload empty.bin\ndownload missing.bin\ndownload\nclean\nprocess\ninit\ninit\n"
    "download app.bin\nversion\nclean\n",
    {"Status = 0", Report("OpenCommSession NOK", 33, 2)}};

const Field kWithoutSendCommand = {
    "without_SendCommand", "quelvane_without_SendCommand", "", {{"download", "APP"}}, "", {}};
const Field kWithoutCreateRouter = {"without_CreateRouter", "quelvane_without_CreateRouter", "", {{"info"}}, "", {}};

struct ReplayCase {
    const char* name;
    const Field* field;
    std::vector<std::string> options;
    int status;
    const char* message;  // in the replay's output or its calls
};

void PrintTo(const ReplayCase& c, std::ostream* os)
{
    *os << c.name;
}

const ReplayCase kReplayCases[] = {
    {"every_run_of_a_technician", &kTechnician, {"--all"}, 0, "12 processes"},
    {"a_failed_download", &kTechnician, {"--run", "6"}, 0, "result:  reproduced: "},
    {"the_library_missing", &kTechnician, {"--run", "11"}, 0, "process\nlibrary absent\ninit\n"},
    {"a_host_retrying_in_one_process", &kRetryingHost, {"--all"}, 0, "2 processes, 16 calls, 4 files"},
    {"a_run_within_a_process",
     &kRetryingHost,
     {"--run", "3"},
     0,
     "run 3 goes on in the process of run 1 (the library was still in use"},
    {"a_library_without_SendCommand",
     &kWithoutSendCommand,
     {},
     16,
     "the field's library lacks _SendCommand or _OpenCommSession"},
    {"a_library_without_CreateRouter",
     &kWithoutCreateRouter,
     {},
     16,
     "the field's communication library has no _CreateRouter"},
    {"a_difference_said_in_French",
     &kWithoutSendCommand,
     {"--lang", "fr"},
     16,
     "  terrain : (une ligne vide)\n  rejeu :   _ExecuteCommand GetVersionComposant_COM"},
};

class LogKinds : public ::testing::TestWithParam<ReplayCase> { };

TEST_P(LogKinds, ComeBackLineForLineThroughAReplay)
{
    const ReplayCase& c = GetParam();
    std::string log = FieldLog(*c.field);
    ProgramRun run = Replay(log, std::string("setup-") + c.name, c.options);
    EXPECT_EQ(run.status, c.status) << Describe(run);
    // The setup: the calls, the board's script, and the log the replay wrote.
    std::string setup = Lab().File(std::string("setup-") + c.name);
    std::string calls = ReadFile(JoinPath(setup, "calls.txt"));
    EXPECT_TRUE(Contains(run.out + run.err + calls, c.message));
    EXPECT_TRUE(
        Contains(ReadFile(JoinPath(JoinPath(setup, "simulator"), "quelvane-sim.ini")), "; The simulated board's"));
    EXPECT_FALSE(ReadFile(JoinPath(setup, "Torvex.log")).empty());
}

std::string Name(const ::testing::TestParamInfo<ReplayCase>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(FieldLogs, LogKinds, ::testing::ValuesIn(kReplayCases), Name);

// A field log of one accepted download, made once.
const std::string& PlainLog()
{
    static const Field plain = {"plain", "", "", {{"download", "APP"}}, "", {}};
    static const std::string bytes = ReadFile(FieldLog(plain));
    return bytes;
}

std::string Utf16(const std::string& bytes, bool bigEndian = false)
{
    std::string wide = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : bytes)  // Latin letters: the same code in both
        wide += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
    return wide;
}

// `count` runs of the plain log one after the other, a little under 5,000,000 bytes.
std::string ManyRuns()
{
    std::string log;
    while (log.size() + PlainLog().size() < 4900000)
        log += PlainLog();
    return log;
}

TEST(ReplayInput, IsRefusedOrReadInPartNeverCrashing)
{
    std::string plain = PlainLog();
    std::size_t middle = plain.find("Entre TelechargeComposant_COM");
    ASSERT_NE(middle, std::string::npos);
    std::string longLine = plain.substr(0, middle) + std::string(400, 'x') + "\r\n" + plain.substr(middle);
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> options;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"not_a_log", "# notes\nboard seems dead\n", {}, 15, "this is not a Torvex.log: its first line is no line"},
        {"empty", "", {}, 15, "the log is empty"},
        {"over_the_limit", std::string(5000001, '-'), {}, 15, "5000001 bytes long: larger than any Torvex.log"},
        {"no_run", "\r\nEntre GetVersionComposant_COM\r\n", {}, 15, "the log holds no run"},
        {"cut_mid_line", plain.substr(0, middle + 12), {}, 17, "the log ends in the middle of this line"},
        {"line_too_long", longLine, {}, 17, "the line is longer than any line the module writes"},
        {"utf16", Utf16(plain), {}, 0, "read from UTF-16"},
        {"utf16_big_endian", Utf16(plain, true), {}, 0, "read from UTF-16 (big-endian)"},
        {"many_runs", ManyRuns(), {}, 0, "result:  reproduced: "},
        {"no_such_run", plain, {"--run", "3"}, 15, "run 3: the log holds 1 run"},
        {"run_and_all", plain, {"--run", "1", "--all"}, 2, "--run excludes --all"},
        {"empty_in_French", "", {"--lang", "fr"}, 15, "erreur : rien n'a été rejoué : "},
        {"reproduced_in_French", plain, {"--lang", "fr"}, 0, "lignes du terrain reviennent à l'identique"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string log = Lab().File(std::string("input-") + c.name + ".log");
        WriteFile(log, c.bytes);
        ProgramRun run = Replay(log, std::string("input-") + c.name, c.options);
        EXPECT_EQ(run.status, c.status) << Describe(run);
        EXPECT_TRUE(Contains(run.out + run.err, c.message));
    }
}

TEST(ReplayInput, WritesOnlyIntoANewOrEmptyFolder)
{
    std::string log = Lab().File("folder-case.log");
    WriteFile(log, PlainLog());
    std::filesystem::create_directories(Lab().File("taken"));
    WriteFile(JoinPath(Lab().File("taken"), "keep.txt"), "mine");
    WriteFile(Lab().File("a-file"), "mine");
    struct Case {
        const char* folder;
        const char* message;
    };
    const Case cases[] = {
        {"taken", "exists and is not empty"},
        {"a-file", "exists and is not a folder"},
        {"no/such/parent", "does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        ProgramRun run = Replay(log, c.folder);
        EXPECT_EQ(run.status, 15) << Describe(run);
        EXPECT_TRUE(Contains(run.err, c.message));
    }
    EXPECT_EQ(ReadFile(JoinPath(Lab().File("taken"), "keep.txt")), "mine");
    EXPECT_EQ(ReadFile(Lab().File("a-file")), "mine");
    EXPECT_FALSE(std::filesystem::exists(Lab().File("no")));
    // An empty folder takes the setup.
    std::filesystem::create_directories(Lab().File("empty-folder"));
    EXPECT_EQ(Replay(log, "empty-folder").status, 0);
}

}  // namespace
