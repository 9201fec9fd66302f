// Benchmarks of the module as a host loads it, against the simulator (downloads accepted,
// nothing stored):
//   download/module/<size>    _TelechargeComposant_COM of an application file
//   download/baseline/<size>  the same file opened, read whole into one heap buffer with
//                             one read, and handed to a no-op function
//   download-reused/...       the same two, with the allocator keeping freed blocks for
//                             the next call (no new pages to touch; see SetMemoryRegime)
//   init/module               _Init_Module_COM right after a fresh load of the module
// The download cases carry two counters: bytes (the file size) and peak_extra (the most
// memory the process held at once during one call, above its resident size just before;
// taken with fresh memory only, -1 otherwise).
//
// Options besides Google Benchmark's own: --sizes=1M,16M,64M,256M (or the environment
// variable TORVEX_BENCH_SIZES), --module=, --sim=, --scratch=.
#include "download_case.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <map>

namespace {

bench::DownloadCase* g_download = nullptr;

// Peak memory of one call per size, taken once (it is not part of the timing loop).
std::map<std::uint64_t, std::int64_t> g_modulePeak;
std::map<std::uint64_t, std::int64_t> g_baselinePeak;

bool PrepareDownload(benchmark::State& state, std::uint64_t size, bench::MemoryRegime regime, const std::string*& file)
{
    bench::SetMemoryRegime(regime);
    std::string error;
    if (!g_download->Start(error)) {
        state.SkipWithError(error.c_str());
        return false;
    }
    file = &g_download->ApplicationFile(size);
    if (file->empty()) {
        state.SkipWithError("cannot write the application file");
        return false;
    }
    g_download->Module().ClearTraces();
    // Warm-up: the file in the system's cache; the module must accept the download.
    if (g_download->Download(*file) == 0 || bench::BaselineRead(file->c_str()) != size) {
        state.SkipWithError("the warm-up download failed");
        return false;
    }
    return true;
}

void SetCounters(benchmark::State& state, std::uint64_t size, std::int64_t peak)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["bytes"] = static_cast<double>(size);
    state.counters["peak_extra"] = static_cast<double>(peak);
}

// Peak memory of one call, taken once per size and only with fresh memory.
std::int64_t PeakOnce(std::map<std::uint64_t, std::int64_t>& peaks, std::uint64_t size, bench::MemoryRegime regime,
                      const std::function<void()>& call)
{
    if (regime != bench::MemoryRegime::Fresh)
        return -1;
    if (peaks.count(size) == 0)
        peaks[size] = bench::PeakExtraBytes(call);
    return peaks[size];
}

void DownloadByModule(benchmark::State& state, std::uint64_t size, bench::MemoryRegime regime)
{
    const std::string* file = nullptr;
    if (!PrepareDownload(state, size, regime, file))
        return;
    std::int64_t peak = PeakOnce(g_modulePeak, size, regime, [&] { g_download->Download(*file); });
    for (auto _ : state) {
        int result = g_download->Download(*file);
        benchmark::DoNotOptimize(result);
    }
    SetCounters(state, size, peak);
}

void DownloadBaseline(benchmark::State& state, std::uint64_t size, bench::MemoryRegime regime)
{
    const std::string* file = nullptr;
    if (!PrepareDownload(state, size, regime, file))
        return;
    std::int64_t peak = PeakOnce(g_baselinePeak, size, regime, [&] { bench::BaselineRead(file->c_str()); });
    for (auto _ : state) {
        std::size_t got = bench::BaselineRead(file->c_str());
        benchmark::DoNotOptimize(got);
    }
    SetCounters(state, size, peak);
}

// Each iteration loads the module copy afresh (untimed), initialises it (timed) and
// unloads it again (untimed), so that every call starts from a newly loaded module.
void InitAfterFreshLoad(benchmark::State& state)
{
    g_download->Stop();
    bench::ModuleCopy& module = g_download->Module();
    module.ClearTraces();
    for (auto _ : state) {
        state.PauseTiming();
        if (!module.Load()) {
            state.SkipWithError("cannot load the module copy");
            break;
        }
        auto init = module.Calls().init;
        state.ResumeTiming();
        int result = init();
        state.PauseTiming();
        module.Unload();
        if (result != 1) {
            state.SkipWithError("_Init_Module_COM failed");
            break;
        }
        state.ResumeTiming();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bench::BenchPaths paths = bench::DefaultPaths();
    const char* fromEnvironment = std::getenv("TORVEX_BENCH_SIZES");
    std::string sizesText = fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment
                                                                                   : "1M,16M,64M,256M";
    bench::TakeOption(argc, argv, "module", paths.module);
    bench::TakeOption(argc, argv, "sim", paths.sim);
    bench::TakeOption(argc, argv, "scratch", paths.scratch);
    bench::TakeOption(argc, argv, "sizes", sizesText);
    std::vector<std::uint64_t> sizes;
    if (!bench::ParseSizes(sizesText, sizes)) {
        std::fprintf(stderr, "bench_module: bad sizes: %s\n", sizesText.c_str());
        return 2;
    }

    bench::DownloadCase download(paths);
    g_download = &download;

    const struct {
        const char* prefix;
        bench::MemoryRegime regime;
    } regimes[] = {{"download/", bench::MemoryRegime::Fresh}, {"download-reused/", bench::MemoryRegime::Reused}};
    for (const auto& each : regimes) {
        for (std::uint64_t size : sizes) {
            std::string label = bench::SizeLabel(size);
            benchmark::RegisterBenchmark((each.prefix + std::string("module/") + label).c_str(), DownloadByModule, size,
                                         each.regime)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark((each.prefix + std::string("baseline/") + label).c_str(), DownloadBaseline,
                                         size, each.regime)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::RegisterBenchmark("init/module", InitAfterFreshLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
