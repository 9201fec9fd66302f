// Times the module's download against a plain whole-file read, in pairs, with its own
// timing loop (no benchmark library: it also builds as a Windows program and runs under
// Wine). For each size: one warm-up call of each, then rounds of one module download
// and one plain read, in alternating order, until both the minimum number of rounds and
// the time budget are reached. Prints one tab-separated line per size:
//
//   size  bytes  module_s  baseline_s  ratio  module_peak_extra  baseline_peak_extra  rounds
//
// module_s and baseline_s are medians over the rounds, ratio is their quotient, the peak
// columns are the most memory held above the resident size during one call (bytes; -1
// where the platform cannot tell).
//
// Options: --sizes=1M,16M  --rounds=N  --seconds=S (per size)  --memory=fresh|reused
//          --module= --sim= --scratch=  --probe (only checks that the program runs)
#include "download_case.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
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

    std::printf("size\tbytes\tmodule_s\tbaseline_s\tratio\tmodule_cpu_s\tbaseline_cpu_s\tcpu_ratio"
                "\tmodule_peak_extra\tbaseline_peak_extra\trounds\n");
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
        std::int64_t modulePeak = bench::PeakExtraBytes([&] { download.Download(file); });
        std::int64_t baselinePeak = bench::PeakExtraBytes([&] { bench::BaselineRead(file.c_str()); });

        std::vector<double> moduleTimes, baselineTimes, moduleCpu, baselineCpu;
        double start = bench::NowSeconds();
        for (int round = 0; round < minRounds || bench::NowSeconds() - start < budget; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                bool moduleTurn = (turn == 0) == (round % 2 == 0);
                double cpu0 = bench::ThreadCpuSeconds();
                double t0 = bench::NowSeconds();
                if (moduleTurn)
                    download.Download(file);
                else
                    bench::BaselineRead(file.c_str());
                double elapsed = bench::NowSeconds() - t0;
                double cpu = cpu0 < 0 ? -1 : bench::ThreadCpuSeconds() - cpu0;
                (moduleTurn ? moduleTimes : baselineTimes).push_back(elapsed);
                (moduleTurn ? moduleCpu : baselineCpu).push_back(cpu);
            }
        }
        double moduleMedian = Median(moduleTimes);
        double baselineMedian = Median(baselineTimes);
        double moduleCpuMedian = Median(moduleCpu);
        double baselineCpuMedian = Median(baselineCpu);
        double cpuRatio = moduleCpuMedian > 0 && baselineCpuMedian > 0 ? moduleCpuMedian / baselineCpuMedian : -1;
        std::printf("%s\t%llu\t%.6f\t%.6f\t%.3f\t%.6f\t%.6f\t%.3f\t%lld\t%lld\t%u\n", bench::SizeLabel(size).c_str(),
                    static_cast<unsigned long long>(size), moduleMedian, baselineMedian, moduleMedian / baselineMedian,
                    moduleCpuMedian, baselineCpuMedian, cpuRatio, static_cast<long long>(modulePeak),
                    static_cast<long long>(baselinePeak), static_cast<unsigned>(moduleTimes.size()));
        std::fflush(stdout);
    }
    return 0;
}
