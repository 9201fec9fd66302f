#include "reliability_rows.h"

#include "support/module_under_test.h"
#include "support/trace_text.h"
#include "test_paths.h"
#include "torvex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using hardening::MatrixCase;
using testing_support::kSeparator;
using testing_support::LogText;
using testing_support::ModuleUnderTest;

namespace {

using Lines = std::vector<std::string>;

void SetVariable(const char* name, const std::string& value)
{
#if defined(_WIN32)
    _putenv((std::string(name) + "=" + value).c_str());
    _tzset();
#else
    setenv(name, value.c_str(), 1);
    tzset();
#endif
}

// ---------------------------------------------------------------------------------------
// Dates: the module copy whose clock the test chooses, in UTC

// `shownHere`: the text of this build's runtime where it differs from `shown`.
MatrixCase DateRow(const std::string& id, const std::string& input, long long seconds, const std::string& shown,
                   const std::string& note = "", const std::string& shownHere = "")
{
    return {{id, "both", input, "1", "\"Today's date and time: " + shown + "\"" + note + " and its empty line"},
            [seconds, shown = shownHere.empty() ? shown : shownHere]() -> std::string {
                SetVariable("TZ", "UTC0");
                SetVariable("TORVEX_TEST_TIME", std::to_string(seconds));
                ModuleUnderTest module("", TORVEX_CHOSEN_CLOCK_MODULE_FILE);
                module.Load();
                int result = module.InitModule();
                SetVariable("TORVEX_TEST_TIME", "");
                std::string expected = LogText("Today's date and time: " + shown + "\n\n\nEntre Init_Library\n");
                EXPECT_EQ(module.Log().substr(0, expected.size()), expected);
                return std::to_string(result);
            }};
}

// ---------------------------------------------------------------------------------------
// Several host threads

constexpr int kThreads = 4;
constexpr int kRoundsPerThread = 150;

// Starts `count` threads that wait for one another, then run `body(thread)`.
void RunTogether(int count, const std::function<void(int)>& body)
{
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t)
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < count)
                std::this_thread::yield();
            body(t);
        });
    for (std::thread& thread : threads)
        thread.join();
}

std::string ConcurrentFirstInit()
{
    ModuleUnderTest module;
    module.Load();
    std::atomic<int> results[kThreads];
    RunTogether(kThreads, [&](int t) { results[t] = module.InitModule(); });
    std::string outcome;
    for (const auto& result : results)
        outcome += (outcome.empty() ? "" : ", ") + std::to_string(result.load());

    std::string log = module.Log();
    std::string ready = LogText("\nEntre Init_Com\nSort Init_Com\nSort Init_Module_COM\n" + kSeparator);
    std::size_t firstEnd = log.find(LogText(kSeparator));
    EXPECT_NE(log.find("Entre Init_Library"), std::string::npos);
    EXPECT_EQ(log.substr(firstEnd + LogText(kSeparator).size()), ready + ready + ready);
    Lines journal = module.Journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "CreateRouter"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "InitialiseCommBoard"), 1);
    return outcome;
}

// One exported operation as a host thread calls it, with the trace and the library calls
// it leaves when called alone.
struct Operation {
    std::function<int(char* buffer)> call;
    std::string log;
    Lines journal;
};

// Counts how often each operation's trace follows the other in `text`, which must be made
// of whole traces only; false when some part is none of them.
template <typename Sequence, typename Piece>
bool CountBlocks(const Sequence& text, const std::vector<Piece>& blocks, std::vector<int>& counts)
{
    counts.assign(blocks.size(), 0);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t matched = blocks.size();
        for (std::size_t b = 0; b < blocks.size() && matched == blocks.size(); ++b) {
            const Sequence& block = blocks[b];
            if (!block.empty() && at + block.size() <= text.size()
                && std::equal(block.begin(), block.end(), text.begin() + static_cast<std::ptrdiff_t>(at)))
                matched = b;
        }
        if (matched == blocks.size()) {
            ADD_FAILURE() << "a part of the trace is no operation's whole trace, at " << at;
            return false;
        }
        ++counts[matched];
        at += blocks[matched].size();
    }
    return true;
}

std::string ConcurrentOperations()
{
    ModuleUnderTest module;
    module.Load();
    EXPECT_EQ(module.InitModule(), 1);
    std::string app = testing_support::JoinPath(module.Folder(), "appli.com");
    testing_support::WriteFile(
        app, testing_support::ApplicationImage({"THREADS-APPL", "V2", "3", "4", "5"}, std::string(2000, 'T')));

    auto init = reinterpret_cast<decltype(&_Init_Module_COM)>(module.Export("_Init_Module_COM"));
    auto download = reinterpret_cast<decltype(&_TelechargeComposant_COM)>(module.Export("_TelechargeComposant_COM"));
    auto version = reinterpret_cast<decltype(&_GetVersionComposant_COM)>(module.Export("_GetVersionComposant_COM"));
    auto reference = reinterpret_cast<decltype(&_GetReferenceBoard_COM)>(module.Export("_GetReferenceBoard_COM"));
    auto clean = reinterpret_cast<decltype(&_Clean_ZR_COM)>(module.Export("_Clean_ZR_COM"));
    std::vector<Operation> operations = {
        {[&](char*) { return init(); }, "", {}},
        {[&](char*) {
             std::string path = app;
             return download(&path[0]);
         },
         "",
         {}},
        {[&](char* buffer) { return version(0, buffer); }, "", {}},
        {[&](char* buffer) { return reference(buffer, 64); }, "", {}},
        {[&](char*) { return clean(); }, "", {}},
    };
    // Each operation alone first (the download before the version, so that the flash holds it).
    for (Operation& operation : operations) {
        module.ClearLog();
        module.ClearJournal();
        char buffer[64] = {};
        EXPECT_EQ(operation.call(buffer), 1);
        operation.log = module.Log();
        operation.journal = module.Journal();
    }
    module.ClearLog();
    module.ClearJournal();

    std::atomic<int> calls{0};
    std::atomic<int> wrong{0};
    RunTogether(kThreads, [&](int t) {
        char buffer[64];
        for (int round = 0; round < kRoundsPerThread; ++round)
            for (std::size_t k = 0; k < operations.size(); ++k) {
                // Each thread takes the operations in another order.
                if (operations[(k + static_cast<std::size_t>(t)) % operations.size()].call(buffer) != 1)
                    ++wrong;
                ++calls;
            }
    });

    std::vector<std::string> logBlocks;
    std::vector<Lines> journalBlocks;
    for (const Operation& operation : operations) {
        logBlocks.push_back(operation.log);
        journalBlocks.push_back(operation.journal);
    }
    std::vector<int> counts;
    if (CountBlocks(module.Log(), logBlocks, counts)) {
        EXPECT_EQ(counts, std::vector<int>(operations.size(), kThreads * kRoundsPerThread));
    }
    if (CountBlocks(module.Journal(), journalBlocks, counts)) {
        counts[0] = kThreads * kRoundsPerThread;  // a ready module's initialisation calls nothing
        EXPECT_EQ(counts, std::vector<int>(operations.size(), kThreads * kRoundsPerThread));
    }
    if (wrong.load() != 0)
        return std::to_string(wrong.load()) + " of " + std::to_string(calls.load()) + " calls not 1";
    return std::to_string(calls.load()) + " calls, each 1";
}

}  // namespace

std::vector<MatrixCase> ReliabilityRows()
{
    std::vector<MatrixCase> rows;
    rows.push_back(DateRow("DATE-2038-LAST", "clock at 2038-01-19 03:14:07 UTC, the last second of 32-bit time",
                           2147483647LL, "Tue Jan 19 03:14:07 2038"));
    rows.push_back(DateRow("DATE-2038-NEXT", "clock at 2038-01-19 03:14:08 UTC, one second later", 2147483648LL,
                           "Tue Jan 19 03:14:08 2038"));
#if defined(_WIN32)
    const char* const k2106Here = "Sun Feb 07 06:28:16 2106";  // the Windows runtime pads the day with a zero
#else
    const char* const k2106Here = "";
#endif
    rows.push_back(DateRow("DATE-2106", "clock at 2106-02-07 06:28:16 UTC, past 32 unsigned bits", 4294967296LL,
                           "Sun Feb  7 06:28:16 2106", " (Windows: \"Feb 07\", as its runtime's ctime writes a day)",
                           k2106Here));
    rows.push_back(DateRow("DATE-2999", "clock at 2999-12-31 23:59:59 UTC", 32503679999LL, "Tue Dec 31 23:59:59 2999"));
    rows.push_back(
        {{"THR-INIT", "both", "4 host threads call _Init_Module_COM at once on a freshly loaded module", "1, 1, 1, 1",
          "one whole initialisation trace, then three of a ready module; the router created and the "
          "board initialised once"},
         ConcurrentFirstInit});
    rows.push_back(
        {{"THR-MIX", "both", "4 host threads, each 150 rounds of the five exported operations in its own order",
          "3000 calls, each 1",
          "every operation's lines whole and together, byte for byte as when called alone; the "
          "library calls of each operation together"},
         ConcurrentOperations});
    return rows;
}
