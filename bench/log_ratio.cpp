// Times the trace log's append (WriteStringToLog, linked in) against the floor, a plain
// open-append-close with the system's own calls and no exclusion (FloorWriteLog), against
// the C runtime's append (BaselineWriteLog: fopen "a+", write, seek, position, fclose), and
// against the floor with lock calls around the write (LockedWriteLog), with its own timing
// loop so that it also runs under Wine. Rounds of `lines` messages each, the four in turn,
// starting with another one each round, each appending to its own file; prints a header
// and one tab-separated line:
//
//   lines  module_us  floor_us  crt_us  locked_us  throughput_ratio  locked_ratio  rounds
//
// with medians over the rounds of the microseconds a line; throughput_ratio is the median
// over the rounds of the module's messages per second over the floor's in that round
// (short rounds side by side: a machine whose load changes changes both), locked_ratio
// the same for the locked append.
// Options: --lines=N --rounds=N --scratch=
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
    std::string linesText = "20";
    std::string roundsText = "300";
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
    std::string floorLog = bench::JoinPath(folder, "floor.log");
    std::string crtLog = bench::JoinPath(folder, "crt.log");
    std::string lockedLog = bench::JoinPath(folder, "locked.log");
    if (moduleLog.size() >= sizeof g_TorvexLogPath) {
        std::fprintf(stderr, "log_ratio: the log path does not fit the module's buffer\n");
        return 1;
    }
    std::snprintf(g_TorvexLogPath, sizeof g_TorvexLogPath, "%s", moduleLog.c_str());

    struct Contender {
        const std::string& log;
        int (*write)(const char* path, const char* text);
        std::vector<double> times;
    };
    auto byModule = [](const char*, const char* text) { return WriteStringToLog(text); };
    Contender contenders[] = {{moduleLog, byModule, {}},
                              {floorLog, FloorWriteLog, {}},
                              {crtLog, BaselineWriteLog, {}},
                              {lockedLog, LockedWriteLog, {}}};
    const long count = sizeof contenders / sizeof contenders[0];
    for (const Contender& contender : contenders)
        std::remove(contender.log.c_str());
    std::vector<double> ratios;
    std::vector<double> lockedRatios;
    for (long round = 0; round < rounds; ++round) {
        for (long turn = 0; turn < count; ++turn) {
            Contender& contender = contenders[(round + turn) % count];
            const char* path = contender.log.c_str();
            contender.times.push_back(TimeLines(lines, [&] { contender.write(path, kMessage); }));
        }
        ratios.push_back(contenders[1].times.back() / contenders[0].times.back());
        lockedRatios.push_back(contenders[1].times.back() / contenders[3].times.back());
    }
    std::printf("lines\tmodule_us\tfloor_us\tcrt_us\tlocked_us\tthroughput_ratio\tlocked_ratio\trounds\n");
    std::printf("%ld\t%.2f\t%.2f\t%.2f\t%.2f\t%.3f\t%.3f\t%ld\n", lines, Median(contenders[0].times),
                Median(contenders[1].times), Median(contenders[2].times), Median(contenders[3].times), Median(ratios),
                Median(lockedRatios), rounds);
    bench::RemoveTree(folder);
    return 0;
}
