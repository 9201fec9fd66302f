// Initialisation as a host sees it: return values, the exact bytes of Torvex.log and the
// calls the communication library received (the simulator's journal).
#include "support/files.h"
#include "support/module_under_test.h"
#include "support/trace_text.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

using testing_support::CloseLine;
using testing_support::Entry;
using testing_support::Exit;
using testing_support::HasLine;
using testing_support::JoinPath;
using testing_support::kSeparator;
using testing_support::LogText;
using testing_support::ModuleUnderTest;
using testing_support::ReportLine;

namespace {

using Lines = std::vector<std::string>;

const std::string kModuleExit = Exit("Init_Module_COM") + kSeparator;
const std::string kBoardReady = ReportLine("_InitialiseCommBoard_Exp", 3, 0);
const std::string kInitComEntry = Entry("Init_Com");
const std::string kInitComExit = Exit("Init_Com");
const std::string kInitComSuccess = kInitComEntry + "_CreateRouter OK\n" + kBoardReady + kInitComExit;

// What a healthy library sees during a first initialisation, in order.
const Lines kFirstInitJournal = {"GetCommSessions size=5700", "CreateRouter", "OpenCommSession", "InitialiseCommBoard",
                                 CloseLine()};
const Lines kBoardInitJournal = {"OpenCommSession", "InitialiseCommBoard", CloseLine()};

// The log without its first line (the date, which changes) and that line alone.
std::string WithoutDateLine(const std::string& log, std::string* dateLine = nullptr)
{
    std::size_t end = log.find('\n');
    if (dateLine != nullptr)
        *dateLine = log.substr(0, end);
    return end == std::string::npos ? std::string() : log.substr(end + 1);
}

std::string LibraryPathOf(const ModuleUnderTest& module)
{
    return module.SimFolder() + "\\quelvane.dll";
}

// Everything Init_Library writes after the date line.
std::string LibraryTrace(const ModuleUnderTest& module, const std::string& libraryPath, int status)
{
    return "\n" + Entry("Init_Library") + "Path torvex.ini : " + module.Folder() + JoinPath("", "torvex.ini")
        + "\nPath Quelvane : " + libraryPath + "\nStatus = " + std::to_string(status) + "\n" + Exit("Init_Library");
}

std::string HostProgramFolder()
{
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\') + 1);
#else
    char path[4096] = {};
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    std::string text(path, length > 0 ? static_cast<std::size_t>(length) : 0);
    return text.substr(0, text.find_last_of('/') + 1);
#endif
}

// Test names of table rows: the row's own name.
struct RowName {
    template <class Row> std::string operator()(const ::testing::TestParamInfo<Row>& row) const
    {
        return row.param.name;
    }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Success, first and later calls

TEST(InitModule, FirstSuccessfulCallWritesTheWholeTrace)
{
    ModuleUnderTest module;
    module.Load();
    EXPECT_EQ(module.InitModule(), 1);

    std::string dateLine;
    std::string rest = WithoutDateLine(module.Log(), &dateLine);
    EXPECT_TRUE(std::regex_match(
        dateLine, std::regex("Today's date and time: \\w{3} \\w{3} [ 0-9]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}\r?")))
        << dateLine;
    EXPECT_EQ(rest,
              LogText("\n"
                      "\nEntre Init_Library\n"
                      "Path torvex.ini : "
                      + module.Folder() + JoinPath("", "torvex.ini")
                      + "\n"
                        "Path Quelvane : "
                      + LibraryPathOf(module)
                      + "\n"
                        "Status = 1\n"
                        "Sort Init_Library\n"
                        "\nEntre Init_Com\n"
                        "_CreateRouter OK\n"
                        "_InitialiseCommBoard_Exp CompteRendu com = 3 CompteRendu g\xE9n\xE9ral = 0\n"
                        "Sort Init_Com\n"
                        "Sort Init_Module_COM\n"
                      + kSeparator));
}

TEST(InitModule, FirstSuccessfulCallChecksSessionsThenCreatesRouterThenInitialisesBoard)
{
    ModuleUnderTest module;
    module.Load();
    ASSERT_EQ(module.InitModule(), 1);
    EXPECT_EQ(module.Journal(), kFirstInitJournal);
}

TEST(InitModule, LaterCallsAfterSuccessOnlyTraceInitComAndLeaveTheLibraryAlone)
{
    ModuleUnderTest module;
    module.Load();
    ASSERT_EQ(module.InitModule(), 1);
    for (int call = 2; call <= 3; ++call) {
        SCOPED_TRACE("call " + std::to_string(call));
        module.ClearLog();
        module.ClearJournal();
        EXPECT_EQ(module.InitModule(), 1);
        EXPECT_EQ(module.Log(), LogText(kInitComEntry + kInitComExit + kModuleExit));
        EXPECT_EQ(module.Journal(), Lines{});
    }
}

// ---------------------------------------------------------------------------------------
// Failures once the library is loaded: one row per way Init_Com can fail

struct InitComFailure {
    const char* name;
    const char* simVariant;  // "" for the full simulator
    const char* simConfig;
    std::string initComTrace;  // what Init_Com writes
    Lines journal;
};

class InitComFails : public ::testing::TestWithParam<InitComFailure> { };

TEST_P(InitComFails, ReturnsZeroWithTheExactTraceAndLibraryCalls)
{
    const InitComFailure& row = GetParam();
    ModuleUnderTest module(row.simVariant);
    module.WriteSimConfig(row.simConfig);
    module.Load();

    EXPECT_EQ(module.InitModule(), 0);
    EXPECT_EQ(WithoutDateLine(module.Log()),
              LogText(LibraryTrace(module, LibraryPathOf(module), 1) + row.initComTrace + kModuleExit));
    EXPECT_EQ(module.Journal(), row.journal);
}

INSTANTIATE_TEST_SUITE_P(
    InitModule, InitComFails,
    ::testing::Values(
        InitComFailure{"InterfaceOccupied",
                       "",
                       "[sessions]\noccupied = 0,7,0\n",
                       kInitComEntry + "WARNING VCI OCCUPED !!!! \n" + kInitComExit,
                       {"GetCommSessions size=5700"}},
        InitComFailure{"CreateRouterFails",
                       "",
                       "[router]\nresult = 0\n",
                       kInitComEntry + "_CreateRouter KO\n" + kInitComExit,
                       {"GetCommSessions size=5700", "CreateRouter"}},
        InitComFailure{"SessionNotOpened",
                       "",
                       "[open]\nresult = 0\ncom = 12\ngeneral = -4\n",
                       kInitComEntry + "_CreateRouter OK\n" + ReportLine("_OpenCommSession NOK", 12, -4) + kInitComExit,
                       {"GetCommSessions size=5700", "CreateRouter", "OpenCommSession"}},
        InitComFailure{"SessionOpenNegative",
                       "",
                       "[open]\nresult = -1\ncom = 3\ngeneral = 0\n",
                       kInitComEntry + "_CreateRouter OK\n" + ReportLine("_OpenCommSession NOK", 3, 0) + kInitComExit,
                       {"GetCommSessions size=5700", "CreateRouter", "OpenCommSession"}},
        InitComFailure{
            "BoardInitFails",
            "",
            "[init]\nresult = 0\ncom = 5\ngeneral = 9\n",
            kInitComEntry + "_CreateRouter OK\n" + ReportLine("_InitialiseCommBoard_Exp", 5, 9) + kInitComExit,
            {"GetCommSessions size=5700", "CreateRouter", "OpenCommSession", "InitialiseCommBoard", CloseLine(5, 9)}},
        // The result alone decides: healthy report codes do not save a failed initialisation.
        InitComFailure{
            "BoardInitFailsWithHealthyReports",
            "",
            "[init]\nresult = 0\n",
            kInitComEntry + "_CreateRouter OK\n" + kBoardReady + kInitComExit,
            {"GetCommSessions size=5700", "CreateRouter", "OpenCommSession", "InitialiseCommBoard", CloseLine()}},
        // Missing entry points: Init_Com gives up without its exit line.
        InitComFailure{"WithoutCreateRouter", "quelvane_without_CreateRouter", "", kInitComEntry, {}},
        InitComFailure{"WithoutAnyEntryPoint", "quelvane_none", "", kInitComEntry, {}},
        InitComFailure{"WithoutOpenCommSession",
                       "quelvane_without_OpenCommSession",
                       "",
                       kInitComEntry + "_CreateRouter OK\n",
                       {"GetCommSessions size=5700", "CreateRouter"}},
        InitComFailure{"WithoutInitialiseCommBoard",
                       "quelvane_without_InitialiseCommBoard_Exp",
                       "",
                       kInitComEntry + "_CreateRouter OK\n",
                       {"GetCommSessions size=5700", "CreateRouter"}}),
    RowName());

// ---------------------------------------------------------------------------------------
// What the next call does after a failure

struct RetryAfterFailure {
    const char* name;
    const char* failingConfig;  // the first call fails with this
    std::string secondInitCom;  // Init_Com trace of the next call, once the fault is gone
    Lines secondJournal;
};

class InitModuleRetry : public ::testing::TestWithParam<RetryAfterFailure> { };

TEST_P(InitModuleRetry, NextCallReloadsTheLibraryAndResumesWhereItFailed)
{
    const RetryAfterFailure& row = GetParam();
    ModuleUnderTest module;
    module.WriteSimConfig(row.failingConfig);
    module.Load();
    ASSERT_EQ(module.InitModule(), 0);

    module.WriteSimConfig("");
    module.ClearLog();
    module.ClearJournal();
    EXPECT_EQ(module.InitModule(), 1);
    // A full Init_Library again: a fresh date line and a fresh load.
    std::string dateLine;
    std::string rest = WithoutDateLine(module.Log(), &dateLine);
    EXPECT_EQ(dateLine.rfind("Today's date and time: ", 0), 0u) << dateLine;
    EXPECT_EQ(rest, LogText(LibraryTrace(module, LibraryPathOf(module), 1) + row.secondInitCom + kModuleExit));
    EXPECT_EQ(module.Journal(), row.secondJournal);
}

INSTANTIATE_TEST_SUITE_P(
    InitModule, InitModuleRetry,
    ::testing::Values(
        // The router exists: no second occupancy check, no second router.
        RetryAfterFailure{"AfterBoardInitFailed", "[init]\nresult = 0\n", kInitComEntry + kBoardReady + kInitComExit,
                          kBoardInitJournal},
        RetryAfterFailure{"AfterSessionNotOpened", "[open]\nresult = 0\n", kInitComEntry + kBoardReady + kInitComExit,
                          kBoardInitJournal},
        // The router was never created: everything again.
        RetryAfterFailure{"AfterInterfaceOccupied", "[sessions]\noccupied = 1\n", kInitComSuccess, kFirstInitJournal},
        RetryAfterFailure{"AfterCreateRouterFailed", "[router]\nresult = 0\n", kInitComSuccess, kFirstInitJournal}),
    RowName());

TEST(InitModule, LibraryNotLoadableReportsStatusZeroAndNextCallRetriesEverything)
{
    ModuleUnderTest module;
    std::string emptyFolder = JoinPath(module.Folder(), "empty");
    std::filesystem::create_directories(emptyFolder);
    module.WriteIni("[TorvexPath]\nQuelvanePath=" + emptyFolder + "\n");
    module.Load();

    EXPECT_EQ(module.InitModule(), 0);
    EXPECT_EQ(WithoutDateLine(module.Log()),
              LogText(LibraryTrace(module, emptyFolder + "\\quelvane.dll", 0) + kModuleExit));
    EXPECT_EQ(module.Journal(), Lines{});

    module.WriteIni("[TorvexPath]\nQuelvanePath=" + module.SimFolder() + "\n");
    module.ClearLog();
    EXPECT_EQ(module.InitModule(), 1);
    EXPECT_EQ(WithoutDateLine(module.Log()),
              LogText(LibraryTrace(module, LibraryPathOf(module), 1) + kInitComSuccess + kModuleExit));
    EXPECT_EQ(module.Journal(), kFirstInitJournal);
}

// ---------------------------------------------------------------------------------------
// Occupancy scan of the session table

struct SessionTable {
    const char* name;
    const char* simConfig;
    bool occupied;
};

class OccupancyScan : public ::testing::TestWithParam<SessionTable> { };

TEST_P(OccupancyScan, WarnsAndSkipsTheRouterOnlyWhenACountedEntryIsInUse)
{
    const SessionTable& row = GetParam();
    ModuleUnderTest module;
    module.WriteSimConfig(row.simConfig);
    module.Load();

    EXPECT_EQ(module.InitModule(), row.occupied ? 0 : 1);
    std::string expected = row.occupied ? kInitComEntry + "WARNING VCI OCCUPED !!!! \n" + kInitComExit
                                        : kInitComSuccess;
    EXPECT_EQ(WithoutDateLine(module.Log()),
              LogText(LibraryTrace(module, LibraryPathOf(module), 1) + expected + kModuleExit));
    EXPECT_EQ(HasLine(module.Journal(), "CreateRouter"), !row.occupied);
}

INSTANTIATE_TEST_SUITE_P(
    InitModule, OccupancyScan,
    ::testing::Values(SessionTable{"CountZero", "[sessions]\ncount = 0\n", false},
                      SessionTable{"AllCountedEntriesFree", "[sessions]\noccupied = 0,0,0,0,0\n", false},
                      SessionTable{"SecondOfThreeInUse", "[sessions]\noccupied = 0,7,0\ncount = 3\n", true},
                      SessionTable{"FirstInUse", "[sessions]\noccupied = 0x80000000\n", true},
                      SessionTable{"EntryBeyondTheCountIgnored", "[sessions]\noccupied = 0,0,5\ncount = 2\n", false},
                      // Above 20 the count means 20: the 21st entry is not in the table.
                      SessionTable{"CountAboveTwentyReadsTwentyEntries",
                                   "[sessions]\noccupied = 0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\ncount = 21\n",
                                   false}),
    // Count 0 with filled entries, the 20th in use, a huge count: the bad-input rows SESS-*.
    RowName());

// ---------------------------------------------------------------------------------------
// Where the library is taken from: torvex.ini

struct IniCase {
    const char* name;
    std::function<void(ModuleUnderTest&)> prepare;               // writes or removes torvex.ini
    std::function<std::string(const ModuleUnderTest&)> library;  // the "Path Quelvane" value
    int status;
};

class IniRules : public ::testing::TestWithParam<IniCase> { };

TEST_P(IniRules, LibraryPathAndStatus)
{
    const IniCase& row = GetParam();
    ModuleUnderTest module;
    row.prepare(module);
    module.Load();

    EXPECT_EQ(module.InitModule(), row.status);
    std::string trace = WithoutDateLine(module.Log());
    std::string expected = LogText(LibraryTrace(module, row.library(module), row.status));
    EXPECT_EQ(trace.substr(0, expected.size()), expected);
    if (row.status == 0) {
        EXPECT_EQ(trace, expected + LogText(kModuleExit));  // Init_Com does not run
    }
}

static void WriteValue(ModuleUnderTest& module, const std::string& value)
{
    module.WriteIni("[TorvexPath]\nQuelvanePath=" + value + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    InitModule, IniRules,
    ::testing::Values(
#if defined(_WIN32)
        // A value with a drive is moved onto the module's own drive.
        IniCase{"ValueWithDriveTakesTheModuleDrive",
                [](ModuleUnderTest& m) { WriteValue(m, "C" + m.SimFolder().substr(1)); },
                [](const ModuleUnderTest& m) { return LibraryPathOf(m); }, 1},
#else
        // The module lies on no drive here, so a value with a drive gives no path at all.
        IniCase{"ValueWithDriveOnDrivelessModuleGivesNoPath",
                [](ModuleUnderTest& m) { WriteValue(m, "C:" + m.SimFolder()); },
                [](const ModuleUnderTest&) { return std::string(); }, 0},
#endif
        IniCase{"AbsoluteValueUsedUnchanged", [](ModuleUnderTest& m) { WriteValue(m, m.SimFolder()); },
                [](const ModuleUnderTest& m) { return LibraryPathOf(m); }, 1},
        IniCase{"RelativeValueUsedUnchanged", [](ModuleUnderTest& m) { WriteValue(m, "Tools"); },
                [](const ModuleUnderTest&) { return std::string("Tools\\quelvane.dll"); }, 0},
        IniCase{"NetworkShareUsedUnchanged", [](ModuleUnderTest& m) { WriteValue(m, "\\\\nohost\\share"); },
                [](const ModuleUnderTest&) { return std::string("\\\\nohost\\share\\quelvane.dll"); }, 0},
        IniCase{"MissingIniGivesDriveRoot", [](ModuleUnderTest& m) { m.RemoveIni(); },
                [](const ModuleUnderTest&) { return std::string("\\quelvane.dll"); }, 0},
        IniCase{"MissingKeyGivesDriveRoot",
                [](ModuleUnderTest& m) { m.WriteIni("[TorvexPath]\nQuelvane=" + m.SimFolder() + "\n"); },
                [](const ModuleUnderTest&) { return std::string("\\quelvane.dll"); }, 0},
        IniCase{"KeyInOtherSectionGivesDriveRoot",
                [](ModuleUnderTest& m) { m.WriteIni("[Other]\nQuelvanePath=" + m.SimFolder() + "\n"); },
                [](const ModuleUnderTest&) { return std::string("\\quelvane.dll"); }, 0},
        IniCase{"EmptyValueGivesDriveRoot", [](ModuleUnderTest& m) { WriteValue(m, ""); },
                [](const ModuleUnderTest&) { return std::string("\\quelvane.dll"); }, 0},
        IniCase{"NamesIgnoreCaseAndValueIsTrimmed",
                [](ModuleUnderTest& m) {
                    m.WriteIni("; library folder\n[tORVEXpATH]\n  quelvanepath  =   " + m.SimFolder() + "   \n");
                },
                [](const ModuleUnderTest& m) { return LibraryPathOf(m); }, 1}),
    RowName());

// A relative folder is left to the system's search rules, which include the current folder.
TEST(InitModule, RelativeValueResolvedFromTheCurrentFolder)
{
    ModuleUnderTest module;
    WriteValue(module, "lib");
    module.Load();
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(module.Folder());
    int result = module.InitModule();
    std::filesystem::current_path(previous);

    EXPECT_EQ(result, 1);
    std::string expected = LogText(LibraryTrace(module, "lib\\quelvane.dll", 1));
    EXPECT_EQ(WithoutDateLine(module.Log()).substr(0, expected.size()), expected);
}

// The module finds itself by the name torvex.dll only; under another name it takes the
// host program's folder for its log and INI file.
TEST(InitModule, ModuleUnderAnotherNameUsesTheHostProgramFolder)
{
    testing_support::ScratchFolder folder("renamed");
    std::string renamed = folder.File("torvex_renamed.dll");
    std::filesystem::copy_file(host::BuiltModuleFile(), renamed);
    testing_support::WriteFile(folder.File("torvex.ini"), "[TorvexPath]\nQuelvanePath=" + folder.Path() + "\n");

    std::string hostLog = HostProgramFolder() + "Torvex.log";
    bool hostLogExisted = testing_support::FileExists(hostLog);
    void* library = testing_support::LoadLibraryFile(renamed);
    ASSERT_NE(library, nullptr);
    auto init = reinterpret_cast<decltype(&_Init_Module_COM)>(testing_support::FindExport(library, "_Init_Module_COM"));
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(init(), 0);  // no torvex.ini in the host folder: no library either
    testing_support::UnloadLibraryFile(library);

    std::string log = testing_support::ReadFile(hostLog);
    if (!hostLogExisted)
        std::filesystem::remove(hostLog);
    EXPECT_FALSE(testing_support::FileExists(folder.File("Torvex.log")));
    EXPECT_NE(log.find(LogText("Path torvex.ini : " + HostProgramFolder() + "torvex.ini\n")), std::string::npos) << log;
}

// ---------------------------------------------------------------------------------------
// Exports, process detach

TEST(ModuleExports, FiveOperationsByNameAndOrdinal)
{
    ModuleUnderTest module;
    module.Load();
    void* handle = testing_support::LoadLibraryFile(module.ModuleFile());  // the same, loaded module
    ASSERT_NE(handle, nullptr);
    const char* names[] = {"_Init_Module_COM", "_TelechargeComposant_COM", "_GetVersionComposant_COM",
                           "_GetReferenceBoard_COM", "_Clean_ZR_COM"};
    for (unsigned ordinal = 1; ordinal <= 5; ++ordinal) {
        const char* name = names[ordinal - 1];
        SCOPED_TRACE(name);
        void* byName = module.Export(name);
        EXPECT_NE(byName, nullptr);
#if defined(_WIN32)
        EXPECT_EQ(testing_support::FindExportByOrdinal(handle, ordinal), byName);
#endif
    }
    testing_support::UnloadLibraryFile(handle);
}

TEST(ProcessDetach, UnloadsTheLibraryItLoaded)
{
    ModuleUnderTest module;
    module.Load();
    ASSERT_EQ(module.InitModule(), 1);
    module.Unload();

    std::string library = JoinPath(module.SimFolder(), "quelvane.dll");
    EXPECT_FALSE(testing_support::LibraryLoaded(library));
    // A library file still mapped could not be deleted on Windows; the module's own copy neither.
    std::error_code error;
    EXPECT_TRUE(std::filesystem::remove(library, error)) << error.message();
    EXPECT_TRUE(std::filesystem::remove(module.ModuleFile(), error)) << error.message();
}

TEST(ProcessDetach, ReplacedLibraryIsPickedUpByTheNextLoad)
{
    ModuleUnderTest module;
    module.Load();
    ASSERT_EQ(module.InitModule(), 1);
    module.Unload();

    std::string library = JoinPath(module.SimFolder(), "quelvane.dll");
    std::error_code error;
    ASSERT_TRUE(std::filesystem::remove(library, error)) << error.message();
    std::filesystem::copy_file(host::SimulatorFile(), library);

    // Fresh state after a new attach: the whole initialisation runs again.
    module.ClearLog();
    module.ClearJournal();
    module.Load();
    EXPECT_EQ(module.InitModule(), 1);
    EXPECT_EQ(WithoutDateLine(module.Log()),
              LogText(LibraryTrace(module, LibraryPathOf(module), 1) + kInitComSuccess + kModuleExit));
    EXPECT_EQ(module.Journal(), kFirstInitJournal);
}

// Detach with nothing loaded, or after a failed load, must not crash.
TEST(ProcessDetach, WithoutALoadedLibrary)
{
    {
        ModuleUnderTest neverInitialised;
        neverInitialised.Load();
        neverInitialised.Unload();
    }
    ModuleUnderTest failedLoad;
    failedLoad.RemoveIni();
    failedLoad.Load();
    EXPECT_EQ(failedLoad.InitModule(), 0);
    EXPECT_EQ(failedLoad.InitModule(), 0);  // a second holder replaces the first
    failedLoad.Unload();
    EXPECT_FALSE(failedLoad.Loaded());
}
