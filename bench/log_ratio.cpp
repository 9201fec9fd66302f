// Times the trace log's append (WriteStringToLog, linked in) against the plain C append
// it replaced (BaselineWriteLog: open "a+", write, seek, position, close), with its own
// timing loop so that it also runs under Wine. Rounds of `lines` messages each, module
// and baseline in alternating order; prints one tab-separated line:
//
//   lines  module_us_per_line  baseline_us_per_line  ratio  rounds
//
// with medians over the rounds. Options: --lines=N --rounds=N --scratch=
#include "bench_common.h"
#include "download_case.h"
#include "log_baseline.h"

#include "log/trace_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A line of the length and shape the module writes most often.
const char kMessage[] = "_ExecuteCommand Reset_Board CompteRendu com = 3 CompteRendu g\xE9n\xE9ral = 0\n";

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Microseconds a line over `lines` calls of `write`.
template <typename Write> double TimeLines(long lines, Write write)
{
    double start = bench::NowSeconds();
    for (long i = 0; i < lines; ++i)
        write();
    return (bench::NowSeconds() - start) * 1e6 / static_cast<double>(lines);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchPaths paths = bench::DefaultPaths();
    std::string linesText = "2000";
    std::string roundsText = "9";
    bench::TakeOption(argc, argv, "scratch", paths.scratch);
    bench::TakeOption(argc, argv, "lines", linesText);
    bench::TakeOption(argc, argv, "rounds", roundsText);
    long lines = std::atol(linesText.c_str());
    long rounds = std::atol(roundsText.c_str());
    if (argc > 1 || lines <= 0 || rounds <= 0) {
        std::fprintf(stderr, "log_ratio: usage: log_ratio [--lines=N] [--rounds=N] [--scratch=FOLDER]\n");
        return 2;
    }
    std::string folder = bench::JoinPath(paths.scratch, "log-ratio");
    std::filesystem::create_directories(folder);
    std::string moduleLog = bench::JoinPath(folder, "Torvex.log");
    std::string baselineLog = bench::JoinPath(folder, "baseline.log");
    if (moduleLog.size() >= sizeof g_TorvexLogPath) {
        std::fprintf(stderr, "log_ratio: the log path does not fit the module's buffer\n");
        return 1;
    }
    std::snprintf(g_TorvexLogPath, sizeof g_TorvexLogPath, "%s", moduleLog.c_str());

    std::vector<double> module;
    std::vector<double> baseline;
    for (long round = 0; round < rounds; ++round) {
        std::remove(moduleLog.c_str());
        std::remove(baselineLog.c_str());
        auto byModule = [] { WriteStringToLog(kMessage); };
        auto byBaseline = [&baselineLog] { BaselineWriteLog(baselineLog.c_str(), kMessage); };
        if (round % 2 == 0) {
            module.push_back(TimeLines(lines, byModule));
            baseline.push_back(TimeLines(lines, byBaseline));
        } else {
            baseline.push_back(TimeLines(lines, byBaseline));
            module.push_back(TimeLines(lines, byModule));
        }
    }
    double moduleMedian = Median(module);
    double baselineMedian = Median(baseline);
    std::printf("%ld\t%.2f\t%.2f\t%.3f\t%ld\n", lines, moduleMedian, baselineMedian, moduleMedian / baselineMedian,
                rounds);
    bench::RemoveTree(folder);
    return 0;
}
