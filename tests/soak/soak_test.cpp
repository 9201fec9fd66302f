// One host process that keeps the module loaded and calls it many times, as a host does
// over weeks: every exported operation, healthy and failing, until the log has been
// emptied at its size limit at least once. The handles and the private memory of the
// process must not grow beyond a small constant between the end of the first round
// (library loaded, every path run once) and the end of the run.
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
#include <string>

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
