// The bad-input matrix on fresh module copies, as a host loads them: over-long folders,
// INI values and application paths, a log that cannot be opened, application files of
// awkward sizes, a board that announces absurd reply lengths and session counts, and a
// library lacking each of its entry points in turn. Every row asserts the result, the
// log and the calls the library received; host buffers are allocated to their exact
// size so that a write past them is caught by the sanitizers (and valgrind).
#include "matrix.h"
#include "reliability_rows.h"
#include "support/files.h"
#include "support/module_under_test.h"
#include "support/trace_text.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#undef CopyFile  // the test helper of that name, not the system call
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using hardening::MatrixCase;
using testing_support::Contains;
using testing_support::Hex;
using testing_support::JoinPath;
using testing_support::kSeparator;
using testing_support::LogText;
using testing_support::ModuleUnderTest;
using testing_support::ScratchFolder;

namespace {

using Lines = std::vector<std::string>;

#if defined(_WIN32)
const char kSep[] = "\\";
#else
const char kSep[] = "/";
#endif

const char kBannerLine[] = "Version \xE0 t\xE9l\xE9"
                           "charger : ";
const char kDecoded[] = "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY";
constexpr std::size_t kLogLine = 254;  // the longest formatted line: g_Msg less its terminator

const testing_support::BannerFields kFields = {"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "XY"};

// An application file of `size` bytes: 8 header bytes, the banner, then a pattern.
std::string ApplicationBytes(std::size_t size)
{
    std::string pattern;
    for (std::size_t i = 56; i < size; ++i)
        pattern += static_cast<char>('a' + i % 26);
    return testing_support::ApplicationImage(kFields, pattern).substr(0, size);
}

// A formatted line as g_Msg holds it: cut to its first 253 characters and a line end
// when longer than the 254 the buffer can hold.
std::string FormattedLine(const std::string& text)
{
    if (text.size() <= kLogLine)
        return text;
    return text.substr(0, kLogLine - 1) + "\n";
}

std::size_t CountPrefix(const Lines& lines, const std::string& prefix)
{
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.compare(0, prefix.size(), prefix) == 0;
    }));
}

// The command codes of the SendCommand lines of a journal, in order ("07", "30", ...).
Lines CommandCodes(const Lines& journal)
{
    Lines codes;
    for (const std::string& line : journal) {
        std::size_t at = line.find("request=00 ");
        if (line.compare(0, 11, "SendCommand") == 0 && at != std::string::npos)
            codes.push_back(line.substr(at + 11, 2));
    }
    return codes;
}

// The lengths that _GetResult was asked for.
Lines FetchLengths(const Lines& journal)
{
    Lines lengths;
    for (const std::string& line : journal) {
        std::size_t at = line.find(" length=");
        if (line.compare(0, 9, "GetResult") == 0 && at != std::string::npos)
            lengths.push_back(line.substr(at + 8, line.find(' ', at + 8) - at - 8));
    }
    return lengths;
}

// Splits the characters of a path below `base` into folder names of at most 200
// characters, so that base + separators + names has exactly `length` characters.
Lines FolderNames(std::size_t baseLength, std::size_t length)
{
    Lines names;
    std::size_t remaining = length > baseLength ? length - baseLength : 0;
    char letter = 'a';
    while (remaining > 0) {
        std::size_t name = std::min<std::size_t>(200, remaining - 1);
        if (remaining - 1 - name == 1)
            --name;  // leave room for one more separator and name
        names.push_back(std::string(name, letter));
        letter = letter == 'z' ? 'a' : static_cast<char>(letter + 1);
        remaining -= name + 1;
    }
    return names;
}

// The path of exactly `length` characters below `base` (not created).
std::string NestedPath(const std::string& base, std::size_t length)
{
    std::string path = base;
    for (const std::string& name : FolderNames(base.size(), length))
        path += kSep + name;
    return path;
}

// Creates the folder; false when the system refuses a path that long.
bool CreateFolder(const std::string& path)
{
    std::error_code error;
    fs::create_directories(path, error);
    return !error && fs::is_directory(path, error);
}

// True when the C runtime opens the file: a path the system cannot handle is no input the
// module could act on.
bool RuntimeOpens(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr)
        std::fclose(file);
    return file != nullptr;
}

std::string IniFor(const std::string& value)
{
    return "[TorvexPath]\nQuelvanePath=" + value + "\n";
}

// The five exports of a loaded module copy; a failure when one is missing.
host::Exports Host(void* module)
{
    host::Exports exports = host::TypedExports(module);
    EXPECT_TRUE(exports.Complete()) << "an export is missing";
    return exports;
}

// A loaded module copy beside the simulator (or a variant), initialised unless told not
// to, with log and journal cleared afterwards.
struct Installed {
    explicit Installed(const std::string& variant = "", bool initialise = true, const std::string& simConfig = "")
            : module(variant)
    {
        if (!simConfig.empty())
            module.WriteSimConfig(simConfig);
        module.Load();
        EXPECT_TRUE(module.Calls().Complete()) << "an export is missing";
        if (initialise) {
            EXPECT_EQ(host->init(), 1);
            module.ClearTraces();
        }
    }
    std::string App(std::size_t size, const std::string& name = "appli.com") const
    {
        std::string path = JoinPath(module.Folder(), name);
        testing_support::WriteFile(path, ApplicationBytes(size));
        return path;
    }

    ModuleUnderTest module;
    const host::Exports* host = &module.Calls();
};

// A host buffer of exactly `size` bytes, pre-filled with a pattern.
std::unique_ptr<char[]> HostBuffer(std::size_t size, char fill = 'Z')
{
    std::unique_ptr<char[]> buffer(new char[size]);
    std::memset(buffer.get(), fill, size);
    return buffer;
}

std::string Outcome(const std::vector<std::pair<std::string, int>>& results)
{
    std::string text;
    for (const auto& [name, result] : results)
        text += (text.empty() ? "" : ", ") + name + " " + std::to_string(result);
    return text;
}

// ---------------------------------------------------------------------------------------
// Module folder

// The module copied into `folder` beside a simulator in a short folder; returns the
// result of _Init_Module_COM, or "skip" when the system cannot load a module from there.
std::string InitInFolder(const std::string& folder, std::string* log, Lines* journal)
{
    ScratchFolder shortFolder("lib");
    testing_support::CopyFile(host::SimulatorFile(), shortFolder.File("quelvane.dll"));
    testing_support::CopyFile(host::BuiltModuleFile(), folder + kSep + "torvex.dll");
    testing_support::WriteFile(folder + kSep + "torvex.ini", IniFor(shortFolder.Path()));
    void* module = testing_support::LoadLibraryFile(folder + kSep + "torvex.dll");
    if (module == nullptr)
        return "skip";
    int result = Host(module).init();
    testing_support::UnloadLibraryFile(module);
    *log = testing_support::ReadFile(folder + kSep + "Torvex.log");
    *journal = testing_support::SplitLines(testing_support::ReadFile(shortFolder.File("quelvane-sim.journal")));
    return std::to_string(result);
}

MatrixCase LongModuleFolder(std::size_t length)
{
    std::string id = "MOD-" + std::to_string(length);
    return {{id, "both", "module folder of " + std::to_string(length) + " characters", "0",
             "nothing, anywhere: the module path does not fit its 255-byte buffer, so no log path is set "
             "and the library is not loaded"},
            [length]() -> std::string {
                ScratchFolder scratch("mod");
                std::string folder = NestedPath(scratch.Path(), length);
                if (!CreateFolder(folder)) {
                    ADD_FAILURE() << "cannot create a folder of " << length << " characters";
                    return "";
                }
                std::string log;
                Lines journal;
                std::string result = InitInFolder(folder, &log, &journal);
                if (result == "skip")
                    return hardening::SkipRow("the system does not load a module from a path this long");
                EXPECT_EQ(log, "");
                EXPECT_EQ(journal, Lines());
                EXPECT_FALSE(testing_support::FileExists(scratch.File("Torvex.log")));
                return result;
            }};
}

// Module file paths at the edge of the 255-byte buffer the system is given.
MatrixCase ModulePathAtTheEdge(std::size_t pathLength, bool fits)
{
    std::string id = "MOD-PATH-" + std::to_string(pathLength);
    return {{id, "both", "module file path of " + std::to_string(pathLength) + " characters", fits ? "1" : "0",
             fits ? "written beside the module (log path of 254 characters); the INI path line is cut to 253 characters"
                  : "nothing: the path filled the buffer and counts as cut"},
            [pathLength, fits]() -> std::string {
                ScratchFolder scratch("edge");
                std::string folder = NestedPath(scratch.Path(), pathLength - 11);  // + separator and "torvex.dll"
                if (!CreateFolder(folder)) {
                    ADD_FAILURE() << "cannot create the folder";
                    return "";
                }
                std::string log;
                Lines journal;
                std::string result = InitInFolder(folder, &log, &journal);
                if (result == "skip")
                    return hardening::SkipRow("the system does not load a module from a path this long");
                if (fits) {
                    std::string iniPath = folder + kSep + "torvex.ini";
                    EXPECT_EQ((folder + kSep + "Torvex.log").size(), 254u);
                    EXPECT_TRUE(Contains(log, LogText(FormattedLine("Path torvex.ini : " + iniPath + "\n"))));
                    EXPECT_TRUE(Contains(log, LogText("Status = 1\nSort Init_Library\n")));
                    EXPECT_EQ(CountPrefix(journal, "CreateRouter"), 1u);
                } else {
                    EXPECT_EQ(log, "");
                    EXPECT_EQ(journal, Lines());
                }
                return result;
            }};
}

#if !defined(_WIN32)
// A folder whose absolute path exceeds PATH_MAX cannot be named to the loader; a host can
// only load a module there by a path relative to a working directory inside the tree.
std::string InitDeepRelative()
{
    ScratchFolder scratch("deep");
    int home = open(".", O_RDONLY | O_DIRECTORY);
    Lines names = FolderNames(scratch.Path().size(), 4096);
    EXPECT_EQ(chdir(scratch.Path().c_str()), 0);
    std::size_t depth = 0;
    for (const std::string& name : names) {
        if (mkdir(name.c_str(), 0755) != 0 || chdir(name.c_str()) != 0)
            break;
        ++depth;
    }
    std::string result;
    std::string log;
    if (depth == names.size()) {
        fs::create_directory("lib");
        testing_support::CopyFile(host::SimulatorFile(), "lib/quelvane.dll");
        testing_support::CopyFile(host::BuiltModuleFile(), "torvex.dll");
        testing_support::WriteFile("torvex.ini", IniFor("lib"));
        void* module = testing_support::LoadLibraryFile("./torvex.dll");
        if (module != nullptr) {
            result = std::to_string(Host(module).init());
            testing_support::UnloadLibraryFile(module);
        }
        log = testing_support::ReadFile("Torvex.log");
        fs::remove_all("lib");
        for (const char* file : {"torvex.dll", "torvex.ini", "Torvex.log"})
            fs::remove(file);
    } else {
        ADD_FAILURE() << "cannot create the deep folder";
    }
    // Up again, removing one level at a time: no path used here is long.
    for (std::size_t level = depth; level > 0; --level) {
        EXPECT_EQ(chdir(".."), 0);
        fs::remove(names[level - 1]);
    }
    EXPECT_EQ(fchdir(home), 0);
    close(home);
    EXPECT_TRUE(Contains(log, "Path torvex.ini : ./torvex.ini\n")) << log;
    EXPECT_TRUE(Contains(log, "Path Quelvane : lib\\quelvane.dll\nStatus = 1\n")) << log;
    return result;
}
#endif

// ---------------------------------------------------------------------------------------
// INI value

MatrixCase LongIniValue(std::size_t length, const std::string& result, bool createFolder)
{
    bool loads = result == "1";
    std::string id = "INI-" + std::to_string(length);
    std::string logText = loads
        ? "library path of 259 characters, its \"Path Quelvane\" line cut to 253 characters; Status = 1"
        : "\"Path Quelvane : \" with an empty path (the value and \\quelvane.dll do not fit 260 "
          "bytes); Status = 0";
    return {{id, "both",
             "INI value of " + std::to_string(length) + " characters"
                 + (createFolder ? ", an existing folder holding the library" : ""),
             result, logText},
            [length, loads, createFolder]() -> std::string {
                Installed host("", false);
                ScratchFolder scratch("ini");
                std::string value = NestedPath(scratch.Path(), length);
                if (createFolder) {
                    if (!CreateFolder(value))
                        return hardening::SkipRow("the system cannot create a folder of " + std::to_string(length)
                                                  + " characters");
                    testing_support::CopyFile(host::SimulatorFile(), value + kSep + "quelvane.dll");
                }
                host.module.WriteIni(IniFor(value));
                int init = host.host->init();
                std::string log = host.module.Log();
                if (loads) {
                    EXPECT_TRUE(Contains(log, LogText(FormattedLine("Path Quelvane : " + value + "\\quelvane.dll\n"))));
                    EXPECT_TRUE(Contains(log, LogText("Status = 1\n")));
                } else {
                    EXPECT_TRUE(Contains(log, LogText("Path Quelvane : \nStatus = 0\n"))) << log;
                }
                return std::to_string(init);
            }};
}

// ---------------------------------------------------------------------------------------
// Application-file path

MatrixCase LongApplicationPath(std::size_t length)
{
    bool exists = length <= 300;
    std::string id = "APP-" + std::to_string(length);
    return {{id, "both", "application-file path of " + std::to_string(length) + " characters", exists ? "1" : "0",
             std::string("\"Path Telechargement\" line cut to 253 characters; ")
                 + (exists ? "the file is downloaded whole"
                           : "no file can have that path: session opened, board reset, session closed, nothing sent")},
            [length, exists]() -> std::string {
                Installed host;
                ScratchFolder scratch("app");
                std::string path = NestedPath(scratch.Path(), length);
                std::string bytes = ApplicationBytes(100);
                if (exists) {
                    fs::path file(path);
                    if (!CreateFolder(file.parent_path().string()))
                        return hardening::SkipRow("the system cannot create a folder that long");
                    testing_support::WriteFile(path, bytes);
                    if (!RuntimeOpens(path))
                        return hardening::SkipRow("the C runtime cannot open a path of " + std::to_string(length)
                                                  + " characters here");
                }
                std::string pathCopy = path;
                int result = host.host->download(&pathCopy[0]);
                std::string log = host.module.Log();
                EXPECT_EQ(pathCopy, path) << "the path was modified";
                EXPECT_TRUE(Contains(log, LogText(FormattedLine("Path Telechargement : " + path + "\n")))) << log;
                Lines codes = CommandCodes(host.module.Journal());
                if (exists) {
                    EXPECT_EQ(codes, (Lines{"07", "30", "12", "07"}));
                    EXPECT_EQ(testing_support::ReadFile(JoinPath(host.module.SimFolder(), "quelvane-sim.flash")),
                              bytes);
                } else {
                    EXPECT_EQ(codes, Lines{"07"});
                }
                return std::to_string(result);
            }};
}

// ---------------------------------------------------------------------------------------
// Application files of awkward sizes and kinds

enum class AppKind { Sized, Sparse, Folder };

MatrixCase AwkwardFile(const std::string& id, const std::string& input, AppKind kind, unsigned long long size,
                       const std::string& result, const std::string& logText)
{
    return {{id, "both", input, result, logText}, [kind, size, result]() -> std::string {
                Installed host;
                std::string path = JoinPath(host.module.Folder(), "appli.com");
                std::string bytes;
                if (kind == AppKind::Sized) {
                    bytes = ApplicationBytes(static_cast<std::size_t>(size));
                    testing_support::WriteFile(path, bytes);
                } else if (kind == AppKind::Sparse) {
                    testing_support::WriteFile(path, ApplicationBytes(8));
                    std::error_code error;
                    fs::resize_file(path, size, error);
                    if (error)
                        return hardening::SkipRow("the file system cannot hold a sparse file of " + std::to_string(size)
                                                  + " bytes");
                } else {
                    fs::create_directory(path);
                }
                int download = host.host->download(&path[0]);
                std::string log = host.module.Log();
                Lines journal = host.module.Journal();
                bool banner = (kind == AppKind::Sized && size >= 58) || kind == AppKind::Sparse;
                if (kind != AppKind::Folder) {
                    EXPECT_EQ(Contains(log, LogText(kBannerLine)), banner) << log;
                }
                if (kind == AppKind::Sized) {
                    // The whole trace, as the download tests state it for a file of any size.
                    using testing_support::CommandTrace;
                    std::string sent = testing_support::ReportLine("\n_ExecuteCommand TelechargeComposant_COM", 3, 0)
                        + CommandTrace("Saut_Appli") + CommandTrace("Reset_Board");
                    EXPECT_EQ(log,
                              LogText(testing_support::Entry("TelechargeComposant_COM") + "Path Telechargement : "
                                      + path + "\n" + (banner ? kBannerLine + std::string(kDecoded) + "\n" : "")
                                      + CommandTrace("Reset_Board") + (result == "1" ? sent : "") + "\n"
                                      + testing_support::Exit("TelechargeComposant_COM") + kSeparator));
                }
                if (kind == AppKind::Sized && size >= 58) {
                    EXPECT_TRUE(Contains(log, LogText(std::string(kBannerLine) + kDecoded + "\n")));
                }
                if (kind == AppKind::Sparse) {
                    EXPECT_TRUE(Contains(log, LogText(std::string(kBannerLine) + "\n")));  // a banner of zeros
                }
                if (result == "1") {
                    EXPECT_EQ(CommandCodes(journal), (Lines{"07", "30", "12", "07"}));
                    EXPECT_EQ(testing_support::ReadFile(JoinPath(host.module.SimFolder(), "quelvane-sim.flash")),
                              bytes);
                } else {
                    // Nothing was sent: the session opened, the board was reset, the session closed.
                    EXPECT_EQ(CommandCodes(journal), Lines{"07"});
                    EXPECT_EQ(CountPrefix(journal, "OpenCommSession"), 1u);
                    EXPECT_EQ(CountPrefix(journal, "CloseCommSession"), 1u);
                }
                EXPECT_TRUE(Contains(log, LogText("\nSort TelechargeComposant_COM\n" + kSeparator)));
                return std::to_string(download);
            }};
}

// ---------------------------------------------------------------------------------------
// Version replies of every announced length

const std::string kVersionReply = testing_support::Banner(kFields)
    + std::string(12, 'Q');  // 60 bytes: more than any buffer takes

MatrixCase VersionReply(const std::string& id, const std::string& announced, unsigned long long length, bool hostBuffer,
                        const std::string& extraConfig, const std::string& result, const std::string& logText)
{
    return {{id, "both", announced, result, logText}, [length, hostBuffer, extraConfig, result]() -> std::string {
                Installed host;
                host.module.WriteSimConfig("[command.fa]\nresult = 5\ncom = 3\nreply = " + Hex(kVersionReply)
                                           + "\nreplyLength = " + std::to_string(length) + "\n" + extraConfig
                                           + "[getresult]\nresult = 7\n");
                std::unique_ptr<char[]> buffer = HostBuffer(TORVEX_VERSION_BUFFER_SIZE);
                int version = host.host->version(12345, hostBuffer ? buffer.get() : nullptr);
                std::string log = host.module.Log();
                Lines fetched = FetchLengths(host.module.Journal());
                bool fetches = result == "7";
                std::size_t expected = std::min<unsigned long long>(length, TORVEX_VERSION_BUFFER_SIZE);
                std::string received(buffer.get(), TORVEX_VERSION_BUFFER_SIZE);
                if (fetches) {
                    EXPECT_EQ(fetched, Lines{std::to_string(expected)});
                    // The reply's bytes, then the host's own bytes untouched.
                    EXPECT_EQ(received,
                              kVersionReply.substr(0, expected)
                                  + std::string(TORVEX_VERSION_BUFFER_SIZE - expected, 'Z'));
                    EXPECT_TRUE(Contains(
                        log, LogText("Version Composant  : " + std::string(expected == 1 ? "A" : kDecoded) + "\n")))
                        << log;
                } else {
                    EXPECT_EQ(fetched, Lines());
                    EXPECT_EQ(received, std::string(TORVEX_VERSION_BUFFER_SIZE, 'Z'));
                    EXPECT_FALSE(Contains(log, "Version Composant"));
                }
                EXPECT_TRUE(Contains(log, LogText("\nSort GetVersionComposant_COM\n" + kSeparator)));
                return std::to_string(version);
            }};
}

// ---------------------------------------------------------------------------------------
// Board references that do not fit, or are not terminated

MatrixCase Reference(const std::string& id, const std::string& input, const std::string& config, int capacity,
                     int statedLength, const std::string& shown, const std::string& logText)
{
    return {{id, "both", input, "1", logText}, [config, capacity, statedLength, shown]() -> std::string {
                Installed host;
                host.module.WriteSimConfig("[boardinfo]\n" + config);
                std::unique_ptr<char[]> buffer = HostBuffer(static_cast<std::size_t>(capacity), '\0');
                int reference = host.host->reference(buffer.get(), statedLength);
                std::string log = host.module.Log();
                EXPECT_TRUE(Contains(log, LogText(FormattedLine("\nReference Carte " + shown + "\n")))) << log;
                Lines journal = host.module.Journal();
                EXPECT_EQ(CountPrefix(journal, "BoardGetInfo args=0,2 length=" + std::to_string(statedLength) + " "),
                          1u);
                return std::to_string(reference);
            }};
}

// ---------------------------------------------------------------------------------------
// Session tables

std::string Occupied(int freeEntries, bool lastOccupied)
{
    std::string list;
    for (int i = 0; i < freeEntries; ++i)
        list += (list.empty() ? "" : ",") + std::string("0");
    if (lastOccupied)
        list += (list.empty() ? "" : ",") + std::string("1");
    return list;
}

MatrixCase Sessions(const std::string& id, const std::string& input, const std::string& occupied,
                    const std::string& count, const std::string& result)
{
    bool busy = result == "0";
    std::string logText = busy ? "\"WARNING VCI OCCUPED !!!! \"; the router is not created"
                               : "\"_CreateRouter OK\": at most 20 entries of the 5,700-byte table are read";
    return {{id, "both", input, result, logText}, [occupied, count, busy]() -> std::string {
                Installed host("", false, "[sessions]\noccupied = " + occupied + "\ncount = " + count + "\n");
                int init = host.host->init();
                std::string log = host.module.Log();
                Lines journal = host.module.Journal();
                EXPECT_EQ(CountPrefix(journal, "GetCommSessions size=5700"), 1u);
                EXPECT_EQ(CountPrefix(journal, "CreateRouter"), busy ? 0u : 1u);
                // Init_Com's whole trace: the warning alone, or the router and the board.
                std::string initCom = testing_support::Entry("Init_Com")
                    + (busy ? "WARNING VCI OCCUPED !!!! \n"
                            : "_CreateRouter OK\n" + testing_support::ReportLine("_InitialiseCommBoard_Exp", 3, 0))
                    + testing_support::Exit("Init_Com") + testing_support::Exit("Init_Module_COM") + kSeparator;
                EXPECT_EQ(log.substr(log.size() - std::min(log.size(), LogText(initCom).size())), LogText(initCom));
                return std::to_string(init);
            }};
}

// ---------------------------------------------------------------------------------------
// Entry points missing

struct Needs {
    bool init, download, version, reference, clean, cleanup, close, getResult;
};

// What a library lacking `missing` ("" for none, "all" for every one) still lets each
// operation do.
Needs Available(const std::string& missing)
{
    auto has = [&](const char* name) { return missing != "all" && missing != name; };
    bool open = has("OpenCommSession");
    return {has("CreateRouter") && has("InitialiseCommBoard_Exp") && open,
            has("SendCommand") && open,
            has("SendCommand") && open,
            has("BoardGetInfo") && open,
            open,
            has("CleanupZR"),
            has("CloseCommSession"),
            has("GetResult")};
}

MatrixCase MissingEntryPoint(const std::string& missing, const std::string& result, const std::string& logText)
{
    std::string variant = missing == "all" ? "quelvane_none" : "quelvane_without_" + missing;
    std::string input = missing == "all" ? "library exporting none of the nine entry points"
                                         : "library without _" + missing;
    std::string id = "MISS-" + (missing == "all" ? std::string("ALL") : missing);
    return {{id, "both", input, result, logText}, [missing, variant]() -> std::string {
                Installed host(variant, false);
                Needs needs = Available(missing);
                std::string app = host.App(100);
                std::unique_ptr<char[]> version = HostBuffer(TORVEX_VERSION_BUFFER_SIZE);
                std::unique_ptr<char[]> reference = HostBuffer(64, '\0');

                std::vector<std::pair<std::string, int>> results;
                std::vector<std::string> logs;
                auto run = [&](const char* name, auto call) {
                    host.module.ClearLog();
                    results.emplace_back(name, call());
                    logs.push_back(host.module.Log());
                };
                run("init", [&] { return host.host->init(); });
                // Initialisation ends its trace whatever is missing, and asks only for what is there.
                std::string initEnd = LogText("Sort Init_Module_COM\n" + kSeparator);
                EXPECT_EQ(logs[0].substr(logs[0].size() - std::min(logs[0].size(), initEnd.size())), initEnd);
                bool scans = missing != "GetCommSessions" && missing != "CreateRouter" && missing != "all";
                EXPECT_EQ(CountPrefix(host.module.Journal(), "GetCommSessions"), scans ? 1u : 0u);
                run("download", [&] { return host.host->download(&app[0]); });
                run("version", [&] { return host.host->version(0, version.get()); });
                run("reference", [&] { return host.host->reference(reference.get(), 64); });
                run("clean", [&] { return host.host->clean(); });

                // An operation that lacks what it needs stops after its entry lines.
                std::string downloadHead = "\nEntre TelechargeComposant_COM\nPath Telechargement : " + app + "\n"
                    + kBannerLine + kDecoded + "\n";
                const std::string stopped[] = {"", downloadHead, "\nEntre GetVersionComposant_COM\n",
                                               "\nEntre GetReferenceBoard_COM\n", ""};
                const bool runs[] = {true, needs.download, needs.version, needs.reference, needs.clean};
                for (std::size_t op = 1; op < 5; ++op) {
                    if (!runs[op]) {
                        EXPECT_EQ(logs[op], LogText(stopped[op])) << results[op].first;
                    } else if (op < 4) {
                        EXPECT_TRUE(Contains(logs[op], LogText(kSeparator))) << results[op].first;
                    } else {
                        EXPECT_TRUE(Contains(logs[op], "Clean_ZR_COM CompteRendu com = 3")) << logs[op];
                    }
                }
                if (needs.version && !needs.getResult) {
                    EXPECT_FALSE(Contains(logs[2], "Version Composant"));
                }

                // Every session opened is closed, when the library can close one.
                Lines journal = host.module.Journal();
                std::size_t opened = CountPrefix(journal, "OpenCommSession");
                EXPECT_EQ(CountPrefix(journal, "CloseCommSession"), needs.close ? opened : 0u);
                return Outcome(results);
            }};
}

// ---------------------------------------------------------------------------------------
// The rows

std::vector<MatrixCase> Rows()
{
    std::vector<MatrixCase> rows;
    for (std::size_t length : {254, 255, 256, 300})
        rows.push_back(LongModuleFolder(length));
#if !defined(_WIN32)
    rows.push_back({{"MOD-4096", "native", "module folder of 4096 characters", "1",
                     "the absolute path exceeds PATH_MAX: a host can only load the module by a relative path, "
                     "with which the module names its folder ./ and logs to ./Torvex.log"},
                    InitDeepRelative});
#endif
    rows.push_back(ModulePathAtTheEdge(254, true));
    rows.push_back(ModulePathAtTheEdge(255, false));

    rows.push_back(LongIniValue(246, "1", true));
    rows.push_back(LongIniValue(247, "0", true));
    for (std::size_t length : {254, 255, 256, 300, 4096})
        rows.push_back(LongIniValue(length, "0", false));
#if defined(_WIN32)
    rows.push_back({{"INI-DRIVE", "Windows", "INI value on another drive letter", "1",
                     "the library path takes the module's own drive letter; Status = 1"},
                    []() -> std::string {
                        Installed host("", false);
                        std::string value = "Q" + host.module.SimFolder().substr(1);
                        host.module.WriteIni(IniFor(value));
                        int init = host.host->init();
                        EXPECT_TRUE(Contains(
                            host.module.Log(),
                            LogText(FormattedLine("Path Quelvane : " + host.module.SimFolder() + "\\quelvane.dll\n"))));
                        return std::to_string(init);
                    }});
#else
    rows.push_back({{"INI-COLON", "native", "INI value with a colon, module without a drive", "0",
                     "\"Path Quelvane : \" with an empty path: the drive letter to put in is empty; Status = 0"},
                    []() -> std::string {
                        Installed host("", false);
                        std::string folder = JoinPath(host.module.Folder(), "lib:2");
                        fs::create_directory(folder);
                        testing_support::CopyFile(host::SimulatorFile(), JoinPath(folder, "quelvane.dll"));
                        host.module.WriteIni(IniFor(folder));
                        int init = host.host->init();
                        EXPECT_TRUE(Contains(host.module.Log(), "Path Quelvane : \nStatus = 0\n"));
                        return std::to_string(init);
                    }});
#endif

    for (std::size_t length : {254, 255, 256, 300, 4096})
        rows.push_back(LongApplicationPath(length));

    rows.push_back({{"APP-FORMAT", "both", "application-file path holding printf directives (%s%n%x%%)", "1",
                     "the path shown as it stands; the file is downloaded"},
                    []() -> std::string {
                        Installed host;
                        std::string path = host.App(100, "app%s%n%x%%.com");
                        int download = host.host->download(&path[0]);
                        EXPECT_TRUE(Contains(host.module.Log(), LogText("Path Telechargement : " + path + "\n")));
                        return std::to_string(download);
                    }});

    rows.push_back({{"LOG-DIR", "both", "log path names a folder (a log that cannot be opened)", "init 1, download 1",
                     "nothing: every message is dropped and the operations go on"},
                    []() -> std::string {
                        Installed host("", false);
                        fs::create_directory(host.module.LogFile());
                        std::string app = host.App(100);
                        int init = host.host->init();
                        int download = host.host->download(&app[0]);
                        EXPECT_TRUE(fs::is_empty(host.module.LogFile()));
                        return Outcome({{"init", init}, {"download", download}});
                    }});
#if defined(_WIN32)
    rows.push_back({{"LOG-LOCKED", "Windows", "log file held open without sharing", "init 1, download 1",
                     "nothing while the file is held; once it is released the next message is appended"},
                    []() -> std::string {
                        Installed host("", false);
                        HANDLE held = CreateFileA(host.module.LogFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                  nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
                        EXPECT_NE(held, INVALID_HANDLE_VALUE);
                        int init = host.host->init();
                        CloseHandle(held);
                        EXPECT_EQ(host.module.Log(), "");
                        std::string app = host.App(100);
                        int download = host.host->download(&app[0]);
                        std::string entry = LogText("\nEntre TelechargeComposant_COM\n");
                        EXPECT_EQ(host.module.Log().compare(0, entry.size(), entry), 0);
                        return Outcome({{"init", init}, {"download", download}});
                    }});
#endif

    rows.push_back(AwkwardFile("FILE-0", "application file of 0 bytes", AppKind::Sized, 0, "0",
                               "no banner line, no other message: session opened, board reset, session closed"));
    rows.push_back(AwkwardFile("FILE-57", "application file of 57 bytes", AppKind::Sized, 57, "1",
                               "no banner line; the 57 bytes are sent"));
    rows.push_back(AwkwardFile("FILE-58", "application file of 58 bytes", AppKind::Sized, 58, "1",
                               "the banner line; the 58 bytes are sent"));
    rows.push_back(
        AwkwardFile("FILE-2GIB", "sparse application file of 2 GiB", AppKind::Sparse, 1ULL << 31, "0",
                    "the (empty) banner line; the size does not fit an int: nothing allocated, nothing sent"));
    rows.push_back(
        AwkwardFile("FILE-4GIB", "sparse application file of 4 GiB + 58 bytes", AppKind::Sparse, (1ULL << 32) + 58, "0",
                    "the (empty) banner line; the size is not taken modulo 2^32: nothing allocated, nothing sent"));
    rows.push_back(AwkwardFile("FILE-DIR", "application path names a folder", AppKind::Folder, 0, "0",
                               "nothing sent: the folder cannot be read as a file"));

    auto fetchLog = [&](const char* bytes) {
        return "the fetch asks for " + std::string(bytes)
            + " bytes into the host's 48-byte buffer; the decoded banner is logged";
    };
    rows.push_back(VersionReply("VER-0", "version reply length 0", 0, true, "", "5",
                                "no fetch, no version line, host buffer untouched; the command's own value"));
    rows.push_back(VersionReply("VER-1", "version reply length 1", 1, true, "", "7", fetchLog("1")));
    rows.push_back(VersionReply("VER-47", "version reply length 47", 47, true, "", "7", fetchLog("47")));
    rows.push_back(VersionReply("VER-48", "version reply length 48 (the capacity)", 48, true, "", "7", fetchLog("48")));
    rows.push_back(VersionReply("VER-49", "version reply length 49", 49, true, "", "7", fetchLog("48")));
    rows.push_back(
        VersionReply("VER-7FFFFFFF", "version reply length 0x7FFFFFFF", 0x7FFFFFFFULL, true, "", "7", fetchLog("48")));
    rows.push_back(
        VersionReply("VER-FFFFFFFF", "version reply length 0xFFFFFFFF", 0xFFFFFFFFULL, true, "", "7", fetchLog("48")));
    rows.push_back(VersionReply("VER-NULL", "version reply length 48, host buffer null", 48, false, "", "5",
                                "no fetch, no version line; the command's own value"));
    rows.push_back(VersionReply("VER-37", "version reply length 0xFFFFFFFF with com 37 (empty flash)", 0xFFFFFFFFULL,
                                true, "com = 37\n", "1", "the empty-flash line; no fetch, host buffer untouched"));

    rows.push_back(Reference("REF-UNTERMINATED", "reference filling the host's 40 bytes without a terminator",
                             "reference = REF\nunterminated = 1\n", 40, 40, "REFREFREFREFREFREFREFREFREFREFREFREFREFR",
                             "the 40 bytes the host stated, no more"));
    rows.push_back(
        Reference("REF-300", "reference of 300 characters", "reference = " + std::string(300, 'R') + "\n", 1000, 1000,
                  std::string(300, 'R'),
                  "the \"Reference Carte\" line cut to 252 characters (its message starts with a line end)"));
    rows.push_back(Reference("REF-FORMAT", "reference holding printf directives", "reference = %s%n%x%%\n", 64, 64,
                             "%s%n%x%%", "shown as it stands"));
    rows.push_back(Reference("REF-NEGATIVE", "reference length -1 stated by the host", "", 16, -1, "",
                             "handed unchanged to the library (which writes nothing); an empty reference line"));

    rows.push_back(Sessions("SESS-0", "session count 0, every entry occupied",
                            "1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1", "0", "1"));
    rows.push_back(Sessions("SESS-20", "session count 20, the 20th entry occupied", Occupied(19, true), "20", "0"));
    rows.push_back(Sessions("SESS-21", "session count 21, 20 free entries", Occupied(20, false), "21", "1"));
    rows.push_back(
        Sessions("SESS-FFFFFFFF", "session count 0xFFFFFFFF, 20 free entries", Occupied(20, false), "0xFFFFFFFF", "1"));
    rows.push_back(Sessions("SESS-FFFFFFFF-LAST", "session count 0xFFFFFFFF, the 20th entry occupied",
                            Occupied(19, true), "0xFFFFFFFF", "0"));

    const char* allRun = "init 1, download 1, version 1, reference 1, clean 1";
    const char* initFails = "init 0, download 1, version 1, reference 1, clean 1";
    rows.push_back(
        MissingEntryPoint("CreateRouter", initFails, "Init_Com stops after its entry line; the other operations run"));
    rows.push_back(MissingEntryPoint("InitialiseCommBoard_Exp", initFails,
                                     "Init_Com stops after \"_CreateRouter OK\"; the other operations run"));
    rows.push_back(MissingEntryPoint("SendCommand", "init 1, download 0, version 0, reference 1, clean 1",
                                     "download and version stop after their entry lines (no exit line)"));
    rows.push_back(
        MissingEntryPoint("GetResult", allRun, "the version is not fetched: no version line, the command's value"));
    rows.push_back(MissingEntryPoint("OpenCommSession", "init 0, download 0, version 0, reference 0, clean 0",
                                     "every operation stops after its entry lines; the clean-up writes nothing"));
    rows.push_back(MissingEntryPoint("CloseCommSession", allRun, "every trace complete; the sessions are not closed"));
    rows.push_back(MissingEntryPoint("BoardGetInfo", "init 1, download 1, version 1, reference 0, clean 1",
                                     "the reference stops after its entry line"));
    rows.push_back(MissingEntryPoint("CleanupZR", "init 1, download 1, version 1, reference 1, clean 0",
                                     "the clean-up's report line; its session opened and closed"));
    rows.push_back(MissingEntryPoint("GetCommSessions", allRun, "the interface is taken as free"));
    rows.push_back(MissingEntryPoint("all", "init 0, download 0, version 0, reference 0, clean 0",
                                     "Status = 1 (the library loads); every operation stops after its entry lines"));
    for (MatrixCase& row : ReliabilityRows())
        rows.push_back(row);
    return rows;
}

const std::vector<MatrixCase>& AllRows()
{
    static const std::vector<MatrixCase> rows = Rows();
    return rows;
}

class BadInput : public ::testing::TestWithParam<MatrixCase> { };

TEST_P(BadInput, OutcomeAsDocumented)
{
    std::string result = GetParam().run();
    if (IsSkipped())
        return;
    EXPECT_EQ(result, GetParam().row.result);
}

INSTANTIATE_TEST_SUITE_P(Matrix, BadInput, ::testing::ValuesIn(AllRows()), hardening::CaseName);

TEST(BadInputMatrix, DocumentedRowsAreTheseRows)
{
    hardening::ExpectDocumented(
        AllRows(), {"MOD-", "INI-", "APP-", "LOG-", "FILE-", "VER-", "REF-", "SESS-", "MISS-", "DATE-", "THR-"},
        "hardening_module_tests");
}

}  // namespace
