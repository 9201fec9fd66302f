// Benchmarks of the module's own routines, linked in:
//   log/module     WriteStringToLog of one report line (items per second = messages)
//   log/baseline   the same open-append, write, seek, position, close in plain C
//   banner/decode  DecodeFirmwareVersion of a file banner with the usual field widths
//
// Options besides Google Benchmark's own: --scratch= (where the log files go).
#include "bench_common.h"
#include "download_case.h"
#include "log_baseline.h"

#include "common/banner_columns.h"
#include "log/trace_log.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

// A line of the length and shape the module writes most often.
const char kMessage[] = "_ExecuteCommand Reset_Board CompteRendu com = 3 CompteRendu g\xE9n\xE9ral = 0\n";

std::string g_moduleLog;
std::string g_baselineLog;

void WriteByModule(benchmark::State& state)
{
    if (g_moduleLog.size() >= sizeof g_TorvexLogPath) {
        state.SkipWithError("the log path does not fit the module's buffer");
        return;
    }
    std::remove(g_moduleLog.c_str());
    std::snprintf(g_TorvexLogPath, sizeof g_TorvexLogPath, "%s", g_moduleLog.c_str());
    for (auto _ : state) {
        int result = WriteStringToLog(kMessage);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void WriteBaseline(benchmark::State& state)
{
    std::remove(g_baselineLog.c_str());
    for (auto _ : state) {
        int result = BaselineWriteLog(g_baselineLog.c_str(), kMessage);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void DecodeBanner(benchmark::State& state)
{
    static const char kBanner[48] = "BENCHAPPLICATI\0V01.02.03\0"
                                    "200101\0BENCH1\0ABCDEFG";
    char text[kBannerTextSize];
    for (auto _ : state) {
        benchmark::DoNotOptimize(kBanner);
        DecodeFirmwareVersion(kBanner, sizeof kBanner, text, sizeof text);
        benchmark::DoNotOptimize(text);
        benchmark::ClobberMemory();
    }
    if (std::strcmp(text, "BENCHAPPLICATI V01.02.03 200101 BENCH1 ABCDEFG") != 0)
        state.SkipWithError("the banner decoded to an unexpected text");
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchPaths paths = bench::DefaultPaths();
    bench::TakeOption(argc, argv, "scratch", paths.scratch);
    std::string folder = bench::JoinPath(paths.scratch, "log");
    std::filesystem::create_directories(folder);
    g_moduleLog = bench::JoinPath(folder, "Torvex.log");
    g_baselineLog = bench::JoinPath(folder, "baseline.log");

    benchmark::RegisterBenchmark("log/module", WriteByModule)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("log/baseline", WriteBaseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("banner/decode", DecodeBanner)->Unit(benchmark::kNanosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    bench::RemoveTree(folder);
    return 0;
}
