// One host process that keeps the module loaded and calls it many times, as a host does
// over weeks: every exported operation, healthy and failing, until the log has been
// emptied at its size limit at least once. The handles and the private memory of the
// process must not grow beyond a small constant between the end of the first round
// (library loaded, every path run once) and the end of the run.
//
// Then hosts in several processes at once, this program started again as a partner
// (SoakPartner, which does nothing unless started so): three hosts logging together across
// the log's emptying, and a download in one process seen by another while the simulated
// board writes it slowly.
#include "host/library_file.h"
#include "module/log_tail.h"
#include "support/trace_text.h"
#include "support/module_under_test.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>
#undef CopyFile

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using testing_support::ModuleUnderTest;

namespace {

constexpr unsigned long kHandleGrowthAllowed = 2;
constexpr unsigned long long kPrivateGrowthAllowed = 512 * 1024;
constexpr unsigned long long kLogLimit = 5000000;

struct Usage {
    unsigned long handles = 0;
    unsigned long long privateBytes = 0;
};

// Handles open in this process, found one by one: handle values are multiples of 4 and
// a new handle takes the lowest free one, so a leak shows within the range probed.
unsigned long ProbeHandles()
{
    unsigned long count = 0;
    for (ULONG_PTR value = 4; value < 16384; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// The process's handle count and private memory. Where the system leaves the count or
// PrivateUsage at 0 (Wine does), the handles are probed and the commit charge
// (PagefileUsage, the same figure on Windows) stands for the private memory.
Usage Measure()
{
    Usage usage;
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles))
        usage.handles = handles;
    if (usage.handles == 0)
        usage.handles = ProbeHandles();
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters))
        usage.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    return usage;
}

unsigned long OperationsWanted()
{
    const char* text = std::getenv("TORVEX_SOAK_OPERATIONS");
    unsigned long wanted = text != nullptr ? std::strtoul(text, nullptr, 10) : 0;
    return wanted > 0 ? wanted : 1200;
}

// The library's behaviour for a round, and what each call must then return.
struct Round {
    const char* simConfig;
    int init, download, missingFile, version, reference, clean;
};

const Round kRounds[] = {
    {"", 1, 1, 0, 1, 1, 1},
    {"[command.30]\nresult=0\ncom=19\n[command.fa]\nresult=0\ncom=2\n[boardinfo]\nresult=0\n", 1, -2, 0, 0, 0, 1},
    {"", 1, 1, 0, 1, 1, 1},
    {"[open]\nresult=0\n", 1, 0, 0, 1, 0, 0},
};

class Soak : public ::testing::Test {
protected:
    ModuleUnderTest module_;
    std::string app_;
    std::string missing_;
    char buffer_[64] = {};
    unsigned long calls_ = 0;
    unsigned long wrongResults_ = 0;
    unsigned long logResets_ = 0;
    unsigned long long logSize_ = 0;

    template <typename Function, typename... Args>
    void Call(const char* name, Function function, int expected, Args... args)
    {
        ASSERT_NE(function, nullptr) << name;
        int result = function(args...);
        ++calls_;
        if (result != expected && ++wrongResults_ <= 10)
            ADD_FAILURE() << name << " gave " << result << ", expected " << expected << " (call " << calls_ << ")";
        std::error_code error;
        unsigned long long size = std::filesystem::file_size(module_.LogFile(), error);
        if (!error) {
            if (size < logSize_)
                ++logResets_;
            logSize_ = size;
        }
    }

    void RunRound(const Round& round)
    {
        module_.WriteSimConfig(round.simConfig);
        const host::Exports& calls = module_.Calls();
        Call("_Init_Module_COM", calls.init, round.init);
        Call("_TelechargeComposant_COM", calls.download, round.download, &app_[0]);
        Call("_TelechargeComposant_COM", calls.download, round.missingFile, &missing_[0]);
        Call("_GetVersionComposant_COM", calls.version, round.version, 0, buffer_);
        Call("_GetReferenceBoard_COM", calls.reference, round.reference, buffer_, static_cast<int>(sizeof buffer_));
        Call("_Clean_ZR_COM", calls.clean, round.clean);
    }
};

TEST_F(Soak, HandlesAndPrivateMemoryStayFlat)
{
    app_ = module_.Folder() + "\\appli.com";
    testing_support::WriteFile(
        app_, testing_support::ApplicationImage({"SOAK-APPL", "V1", "1", "2", "3"}, std::string(4000, 'A')));
    missing_ = module_.Folder() + "\\missing.com";
    ASSERT_NO_FATAL_FAILURE(module_.Load());

    const unsigned long wanted = OperationsWanted();
    const std::size_t kinds = sizeof kRounds / sizeof kRounds[0];
    // First round of every kind: the library is loaded and every path has run once.
    for (const Round& round : kRounds)
        RunRound(round);
    // Bring the log close to its limit so that even a short run sees it emptied.
    testing_support::WriteFile(module_.LogFile(), std::string(kLogLimit - 2000, 'x'));
    logSize_ = kLogLimit - 2000;
    Usage before = Measure();
    unsigned long callsBefore = calls_;
    auto start = std::chrono::steady_clock::now();

    for (std::size_t i = 0; calls_ - callsBefore < wanted && wrongResults_ <= 10; ++i) {
        RunRound(kRounds[i % kinds]);
        if (i % 200 == 199)
            module_.ClearJournal();  // the simulator's journal is ours to keep small
    }

    Usage after = Measure();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("soak: %lu calls in %.1f s (%lu more in the first round); log emptied %lu times\n"
                "soak: handles %lu -> %lu; private memory %llu -> %llu bytes (%+lld)\n",
                calls_ - callsBefore, seconds, callsBefore, logResets_, before.handles, after.handles,
                before.privateBytes, after.privateBytes,
                static_cast<long long>(after.privateBytes) - static_cast<long long>(before.privateBytes));
    ASSERT_GT(before.handles, 0u) << "no handle count";
    ASSERT_GT(before.privateBytes, 0u) << "no private memory figure";
    EXPECT_EQ(wrongResults_, 0u);
    EXPECT_GE(logResets_, 1u);
    EXPECT_LE(after.handles, before.handles + kHandleGrowthAllowed);
    EXPECT_LE(after.privateBytes, before.privateBytes + kPrivateGrowthAllowed);
}

}  // namespace

namespace {

const char kPartnerVariable[] = "TORVEX_SOAK_PARTNER";

// This program started again with the partner's test alone, its role and arguments
// handed over in the environment as fields separated by '|'.
class Partner {
public:
    explicit Partner(const std::vector<std::string>& role)
    {
        std::string text;
        for (const std::string& field : role)
            text += (text.empty() ? "" : "|") + field;
        char program[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, program, sizeof program);
        std::string commandLine = "\"" + std::string(program) + "\" --gtest_filter=SoakPartner.*";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        SetEnvironmentVariableA(kPartnerVariable, text.c_str());
        started_ = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                  &process_)
            != 0;
        SetEnvironmentVariableA(kPartnerVariable, nullptr);
    }
    ~Partner()
    {
        if (!started_)
            return;
        Kill();
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Partner(const Partner&) = delete;
    Partner& operator=(const Partner&) = delete;

    bool Started() const { return started_; }
    bool Running() const { return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process has not ended within the time.
    long Wait(DWORD milliseconds)
    {
        DWORD code = 0;
        if (!started_ || WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0
            || !GetExitCodeProcess(process_.hProcess, &code))
            return -1;
        return static_cast<long>(code);
    }
    // Ends the process at once, as a crash or a technician's kill would.
    void Kill()
    {
        if (Running())
            TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 30000);
    }

private:
    PROCESS_INFORMATION process_ = {};
    bool started_ = false;
};

// Partners that are ready wait here, so that they all start their work at once.
class StartGate {
public:
    StartGate()
    {
        std::string suffix = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count_);
        readyName_ = "Local\\torvex-soak-ready-" + suffix;
        startName_ = "Local\\torvex-soak-start-" + suffix;
        ready_ = CreateSemaphoreA(nullptr, 0, 64, readyName_.c_str());
        start_ = CreateEventA(nullptr, TRUE, FALSE, startName_.c_str());
    }
    ~StartGate()
    {
        SetEvent(start_);
        CloseHandle(ready_);
        CloseHandle(start_);
    }
    StartGate(const StartGate&) = delete;
    StartGate& operator=(const StartGate&) = delete;

    const std::string& ReadyName() const { return readyName_; }
    const std::string& StartName() const { return startName_; }
    // True once `partners` have said they are ready; false when they have not in time.
    bool AllReady(int partners, DWORD milliseconds)
    {
        for (int i = 0; i < partners; ++i) {
            if (WaitForSingleObject(ready_, milliseconds) != WAIT_OBJECT_0)
                return false;
        }
        return true;
    }
    bool Open() { return SetEvent(start_) != 0; }

    // The partner's side.
    static void SayReadyAndWait(const std::string& readyName, const std::string& startName)
    {
        HANDLE ready = OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, readyName.c_str());
        HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, startName.c_str());
        ASSERT_NE(ready, nullptr);
        ASSERT_NE(start, nullptr);
        ReleaseSemaphore(ready, 1, nullptr);
        WaitForSingleObject(start, 60000);
        CloseHandle(ready);
        CloseHandle(start);
    }

private:
    static inline int count_ = 0;
    HANDLE ready_ = nullptr;
    HANDLE start_ = nullptr;
    std::string readyName_;
    std::string startName_;
};

std::vector<std::string> PartnerRole()
{
    const char* text = std::getenv(kPartnerVariable);
    std::vector<std::string> fields;
    if (text == nullptr || *text == '\0')
        return fields;
    std::stringstream stream(text);
    for (std::string field; std::getline(stream, field, '|');)
        fields.push_back(field);
    return fields;
}

// The partner: loads the module file it is given (beside the other process's copy, so
// both share its log and its simulator) and plays its role.
//   log <module> <calls> <ready> <start>   initialises, waits at the gate, then
//                                           initialises <calls> times more
//   download <module> <application>        initialises, then downloads
TEST(SoakPartner, PlaysTheRoleItIsGiven)
{
    std::vector<std::string> role = PartnerRole();
    if (role.empty())
        GTEST_SKIP() << "run only as another test's partner process";
    ASSERT_GE(role.size(), 3u);
    void* library = host::LoadLibraryFile(role[1]);
    ASSERT_NE(library, nullptr) << role[1];
    host::Exports calls = host::TypedExports(library);
    ASSERT_TRUE(calls.Complete());
    ASSERT_EQ(calls.init(), 1);
    if (role[0] == "log") {
        ASSERT_EQ(role.size(), 5u);
        ASSERT_NO_FATAL_FAILURE(StartGate::SayReadyAndWait(role[3], role[4]));
        for (long i = std::stol(role[2]); i > 0; --i)
            ASSERT_EQ(calls.init(), 1);
    } else if (role[0] == "download") {
        EXPECT_EQ(calls.download(&role[2][0]), 1);
    } else {
        FAIL() << "unknown role " << role[0];
    }
}

// A line of the log as the count compares it: the date of a date line set aside.
std::string Normalised(const std::string& line)
{
    const std::string datePrefix = "Today's date and time: ";
    const std::size_t ctimeLength = 24;  // "Wed Dec  9 04:46:23 2026"
    if (line.compare(0, datePrefix.size(), datePrefix) == 0 && line.size() == datePrefix.size() + ctimeLength)
        return datePrefix + "<date>";
    return line;
}

using LineCounts = std::map<std::string, long>;

void CountLines(LineCounts& counts, const std::vector<std::string>& lines, long times)
{
    for (const std::string& line : lines)
        counts[Normalised(line)] += times;
}

// Three hosts in three processes log at once through one module file, starting on a log
// at its size limit: their blocks may interleave, but every line arrives whole and none is
// lost. The first message after the start empties the log, and is the only one missing:
// no line that another process wrote meanwhile goes with it. Meanwhile this process reads
// the lines they add as the hosts' log tail does.
TEST(SoakAcrossProcesses, HostsLogEveryLineWholeAcrossTheEmptying)
{
    constexpr long kCalls = 500;  // 4 messages, 5 lines each: 2,500 lines a process
    constexpr int kPartners = 3;
    testing_support::ModuleUnderTest module;
    ASSERT_NO_FATAL_FAILURE(module.Load());
    // The lines of a first initialisation, then of each later one.
    ASSERT_EQ(module.InitModule(), 1);
    std::vector<std::string> first = testing_support::SplitLines(module.Log());
    ASSERT_EQ(module.InitModule(), 1);
    std::vector<std::string> again = testing_support::SplitLines(module.Log());
    again.erase(again.begin(), again.begin() + static_cast<std::ptrdiff_t>(first.size()));
    ASSERT_EQ(again.front(), "");  // the first message of each: "\nEntre Init_Com\n"
    ASSERT_EQ(again[1], "Entre Init_Com");

    StartGate gate;
    std::vector<std::string> role = {"log", module.ModuleFile(), std::to_string(kCalls), gate.ReadyName(),
                                     gate.StartName()};
    std::vector<std::unique_ptr<Partner>> partners;
    for (int i = 0; i < kPartners; ++i) {
        partners.push_back(std::make_unique<Partner>(role));
        ASSERT_TRUE(partners.back()->Started());
    }
    ASSERT_TRUE(gate.AllReady(kPartners, 60000)) << "the partners did not start";
    const std::string fill(kLogLimit - 1, 'x');
    testing_support::WriteFile(module.LogFile(), fill + "\n");
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(gate.Open());

    // The tail reads while the others write: it opens the log, and each line it returns
    // (but an unfinished last one) is one the module writes.
    std::set<std::string> known(again.begin(), again.end());
    known.insert(fill);
    long tailReads = 0;
    while (partners.back()->Running()) {
        torvexupdate::LogTail tail(module.LogFile());
        Sleep(20);
        std::vector<std::string> added = tail.AddedLines();
        for (std::size_t i = 0; i + 1 < added.size(); ++i)
            EXPECT_EQ(known.count(added[i]), 1u) << "torn line read by the tail: \"" << added[i].substr(0, 80) << "\"";
        tailReads += added.empty() ? 0 : 1;
    }
    for (auto& partner : partners)
        EXPECT_EQ(partner->Wait(120000), 0);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    LineCounts expected;
    CountLines(expected, again, kPartners * kCalls);
    --expected[again[0]];  // the message that emptied the log went with it
    --expected[again[1]];
    LineCounts found;
    CountLines(found, testing_support::SplitLines(module.Log()), 1);
    long wrong = 0;
    for (const auto& [line, count] : found) {
        auto wanted = expected.find(line);
        long want = wanted == expected.end() ? 0 : wanted->second;
        if (count != want && ++wrong <= 10)
            ADD_FAILURE() << "\"" << line.substr(0, 80) << "\": " << count << " times, expected " << want;
    }
    for (const auto& [line, count] : expected) {
        if (found.find(line) == found.end() && ++wrong <= 10)
            ADD_FAILURE() << "\"" << line << "\": missing, expected " << count << " times";
    }
    EXPECT_GT(tailReads, 0) << "the tail never read a line while the others wrote";
    std::printf("soak: %d processes x %ld lines logged at once in %.2f s, the tail read %ld times\n", kPartners,
                kCalls * static_cast<long>(again.size()), seconds, tailReads);
}

// A download in one process, written slowly by the simulated board, holds the interface:
// another process's initialisation finds it occupied while the flash grows, and again
// free once the downloading process has been killed in the middle of the write.
TEST(SoakAcrossProcesses, SessionOfAnotherProcessAndAPacedFlash)
{
    testing_support::ModuleUnderTest module;
    module.WriteSimConfig("[sessions]\nacross_processes = 1\n[download]\nbytes_per_second = 20000\n");
    std::string application = module.Folder() + "\\appli.com";
    std::string image = testing_support::ApplicationImage({"SOAK-APPL", "V2", "1", "2", "3"}, std::string(60000, 'A'));
    testing_support::WriteFile(application, image);
    std::string flash = module.SimFolder() + "\\quelvane-sim.flash";
    auto flashSize = [&flash] {
        std::error_code error;
        std::uintmax_t size = std::filesystem::file_size(flash, error);
        return error ? std::uintmax_t{0} : size;
    };

    Partner writer({"download", module.ModuleFile(), application});
    ASSERT_TRUE(writer.Started());
    for (int i = 0; i < 600 && flashSize() == 0 && writer.Running(); ++i)
        Sleep(50);
    std::uintmax_t first = flashSize();
    ASSERT_GT(first, 0u) << "the download did not start";

    ASSERT_NO_FATAL_FAILURE(module.Load());
    EXPECT_EQ(module.InitModule(), 0);
    EXPECT_TRUE(testing_support::Contains(module.Log(), testing_support::LogText("WARNING VCI OCCUPED !!!! \n")));
    Sleep(300);
    std::uintmax_t later = flashSize();
    EXPECT_GT(later, first);
    EXPECT_LT(later, image.size());

    ASSERT_TRUE(writer.Running()) << "the download ended before it could be stopped";
    writer.Kill();
    EXPECT_LT(flashSize(), image.size());
    EXPECT_EQ(module.InitModule(), 1) << "the killed process's session still holds the interface";
}

}  // namespace
