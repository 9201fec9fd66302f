// Times the module's download against a plain whole-file read and against the same
// download with its log made unopenable (a folder where Torvex.log would be: every message
// is dropped at its open), in turns, with its own timing loop (no benchmark library: it
// also builds as a Windows program and runs under Wine). For each size: one warm-up call of
// each, then rounds of one call each, the three in turn, starting with another one each
// round, until both the minimum number of rounds and the time budget are reached. Prints
// a header and one tab-separated line per size:
//
//   size  bytes  module_s  baseline_s  ratio  module_cpu_s  baseline_cpu_s  cpu_ratio
//   module_peak_extra  baseline_peak_extra  rounds  logfree_s  logfree_cpu_s
//   log_ratio  log_cpu_ratio
//
// Times are medians over the rounds; ratio is module over baseline, log_ratio module over
// the log-free download; the cpu columns are -1 where the platform cannot time one call's
// CPU. The peak columns are the most memory held above the resident size during one call
// (bytes; -1 where the platform cannot tell).
//
// Options: --sizes=1M,16M  --rounds=N  --seconds=S (per size)  --memory=fresh|reused
//          --module= --sim= --scratch=  --probe (only checks that the program runs)
#include "download_case.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// While it lives, the module's log is a folder, which no message can open; the log file
// is set aside meanwhile, so that the module's next turn appends to it as before.
class LogMadeUnopenable {
public:
    explicit LogMadeUnopenable(std::string log) : log_(std::move(log))
    {
        std::error_code error;
        std::filesystem::rename(log_, log_ + ".aside", error);
        std::filesystem::create_directory(log_, error);
    }
    ~LogMadeUnopenable()
    {
        std::error_code error;
        std::filesystem::remove(log_, error);
        std::filesystem::rename(log_ + ".aside", log_, error);
    }
    LogMadeUnopenable(const LogMadeUnopenable&) = delete;
    LogMadeUnopenable& operator=(const LogMadeUnopenable&) = delete;

private:
    std::string log_;
};

double Quotient(double a, double b)
{
    return a > 0 && b > 0 ? a / b : -1;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "download_ratio: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (bench::TakeFlag(argc, argv, "probe")) {
        std::printf("download_ratio runs\n");
        return 0;
    }
    bench::BenchPaths paths = bench::DefaultPaths();
    std::string sizesText = "1M,16M,64M,256M";
    std::string roundsText = "5";
    std::string secondsText = "2";
    std::string memoryText = "fresh";
    bench::TakeOption(argc, argv, "module", paths.module);
    bench::TakeOption(argc, argv, "sim", paths.sim);
    bench::TakeOption(argc, argv, "scratch", paths.scratch);
    bench::TakeOption(argc, argv, "sizes", sizesText);
    bench::TakeOption(argc, argv, "rounds", roundsText);
    bench::TakeOption(argc, argv, "seconds", secondsText);
    bench::TakeOption(argc, argv, "memory", memoryText);
    if (argc > 1)
        return Fail(std::string("unknown argument ") + argv[1]);
    std::vector<std::uint64_t> sizes;
    if (!bench::ParseSizes(sizesText, sizes))
        return Fail("bad --sizes: " + sizesText);
    bench::MemoryRegime regime;
    if (!bench::ParseMemoryRegime(memoryText, regime))
        return Fail("bad --memory: " + memoryText);
    int minRounds = std::max(1, std::atoi(roundsText.c_str()));
    double budget = std::atof(secondsText.c_str());

    bench::SetMemoryRegime(regime);
    bench::DownloadCase download(paths);
    std::string error;
    if (!download.Start(error))
        return Fail(error);

    std::printf(
        "size\tbytes\tmodule_s\tbaseline_s\tratio\tmodule_cpu_s\tbaseline_cpu_s\tcpu_ratio"
        "\tmodule_peak_extra\tbaseline_peak_extra\trounds\tlogfree_s\tlogfree_cpu_s\tlog_ratio\tlog_cpu_ratio\n");
    const std::string log = download.Module().LogFile();
    for (std::uint64_t size : sizes) {
        const std::string& file = download.ApplicationFile(size);
        if (file.empty())
            return Fail("cannot write an application file of " + bench::SizeLabel(size));
        download.Module().ClearTraces();
        // Warm-up: the file in the system's cache, the code paths touched once.
        int result = download.Download(file);
        if (result == 0 || bench::BaselineRead(file.c_str()) != size)
            return Fail("the warm-up call failed for " + bench::SizeLabel(size) + " (download returned "
                        + std::to_string(result) + ")");
        {
            LogMadeUnopenable logFree(log);
            download.Download(file);
        }
        std::int64_t modulePeak = bench::PeakExtraBytes([&] { download.Download(file); });
        std::int64_t baselinePeak = bench::PeakExtraBytes([&] { bench::BaselineRead(file.c_str()); });

        enum Turn { kModule, kLogFree, kBaseline, kTurns };
        std::vector<double> times[kTurns], cpu[kTurns];
        double start = bench::NowSeconds();
        for (int round = 0; round < minRounds || bench::NowSeconds() - start < budget; ++round) {
            for (int step = 0; step < kTurns; ++step) {
                int turn = (round + step) % kTurns;
                std::unique_ptr<LogMadeUnopenable> logFree;
                if (turn == kLogFree)
                    logFree = std::make_unique<LogMadeUnopenable>(log);
                double cpu0 = bench::ThreadCpuSeconds();
                double t0 = bench::NowSeconds();
                if (turn == kBaseline)
                    bench::BaselineRead(file.c_str());
                else
                    download.Download(file);
                times[turn].push_back(bench::NowSeconds() - t0);
                cpu[turn].push_back(cpu0 < 0 ? -1 : bench::ThreadCpuSeconds() - cpu0);
            }
        }
        double module = Median(times[kModule]);
        double baseline = Median(times[kBaseline]);
        double logFree = Median(times[kLogFree]);
        double moduleCpu = Median(cpu[kModule]);
        double baselineCpu = Median(cpu[kBaseline]);
        double logFreeCpu = Median(cpu[kLogFree]);
        std::printf("%s\t%llu\t%.6f\t%.6f\t%.3f\t%.6f\t%.6f\t%.3f\t%lld\t%lld\t%u\t%.6f\t%.6f\t%.3f\t%.3f\n",
                    bench::SizeLabel(size).c_str(), static_cast<unsigned long long>(size), module, baseline,
                    module / baseline, moduleCpu, baselineCpu, Quotient(moduleCpu, baselineCpu),
                    static_cast<long long>(modulePeak), static_cast<long long>(baselinePeak),
                    static_cast<unsigned>(times[kModule].size()), logFree, logFreeCpu, module / logFree,
                    Quotient(moduleCpu, logFreeCpu));
        std::fflush(stdout);
    }
    return 0;
}
