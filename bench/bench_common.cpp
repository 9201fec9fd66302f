#include "bench_common.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if !defined(_WIN32)
#include <time.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#endif

namespace bench {

bool MakeApplicationFile(const std::string& path, std::uint64_t size)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    // Five banner fields of the usual widths, at offset 8.
    static const char kBanner[48] = "BENCHAPPLICATI\0V01.02.03\0"
                                    "200101\0BENCH1\0ABCDEFG";
    std::vector<char> chunk(1 << 20);
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    std::uint64_t written = 0;
    bool ok = true;
    while (ok && written < size) {
        for (std::size_t i = 0; i + 8 <= chunk.size(); i += 8) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            std::memcpy(&chunk[i], &state, 8);
        }
        if (written == 0)
            std::memcpy(&chunk[8], kBanner, sizeof kBanner);
        std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - written));
        ok = std::fwrite(chunk.data(), 1, part, file) == part;
        written += part;
    }
    return std::fclose(file) == 0 && ok;
}

#if defined(__GNUC__)
__attribute__((noinline))
#endif
void ConsumeBuffer(const char* data, std::size_t size)
{
#if defined(__GNUC__)
    // The compiler must assume this reads all memory reachable from data.
    __asm__ __volatile__("" : : "r"(data), "r"(size) : "memory");
#else
    (void)data;
    (void)size;
#endif
}

std::size_t BaselineRead(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return 0;
    std::size_t got = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
            auto* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size)));
            if (buffer != nullptr) {
                got = std::fread(buffer, 1, static_cast<std::size_t>(size), file);
                ConsumeBuffer(buffer, got);
                std::free(buffer);
            }
        }
    }
    std::fclose(file);
    return got;
}

namespace peak_memory {

#if defined(__linux__)

namespace {

// A "Vm...:" line of /proc/self/status, in bytes; -1 when missing.
std::int64_t StatusField(const char* name)
{
    std::FILE* file = std::fopen("/proc/self/status", "r");
    if (file == nullptr)
        return -1;
    char line[256];
    std::int64_t value = -1;
    std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
            value = std::strtoll(line + length + 1, nullptr, 10) * 1024;
            break;
        }
    }
    std::fclose(file);
    return value;
}

}  // namespace

bool Supported()
{
    // The peak can only be lowered through clear_refs (value 5, Linux 4.0 and later).
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file == nullptr)
        return false;
    bool ok = std::fputs("5", file) >= 0;
    ok = std::fclose(file) == 0 && ok;
    return ok && StatusField("VmHWM") > 0;
}

void Reset()
{
    std::FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file != nullptr) {
        std::fputs("5", file);
        std::fclose(file);
    }
}

std::int64_t ResidentBytes()
{
    return StatusField("VmRSS");
}

std::int64_t PeakBytes()
{
    return StatusField("VmHWM");
}

#else

// Windows keeps a peak working set that cannot be lowered: no per-call measure.
bool Supported()
{
    return false;
}
void Reset() { }
std::int64_t ResidentBytes()
{
    return -1;
}
std::int64_t PeakBytes()
{
    return -1;
}

#endif

}  // namespace peak_memory

void SetMemoryRegime(MemoryRegime regime)
{
#if defined(__GLIBC__)
    // Fixed thresholds also stop glibc from adapting them after each large free.
    if (regime == MemoryRegime::Fresh) {
        mallopt(M_MMAP_MAX, 65536);
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
        mallopt(M_TRIM_THRESHOLD, 128 * 1024);
        malloc_trim(0);  // what the other regime kept would otherwise serve the next blocks
    } else {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, INT_MAX);
    }
#else
    (void)regime;
#endif
}

bool ParseMemoryRegime(const std::string& text, MemoryRegime& regime)
{
    if (text == "fresh")
        regime = MemoryRegime::Fresh;
    else if (text == "reused")
        regime = MemoryRegime::Reused;
    else
        return false;
    return true;
}

bool ParseSizes(const std::string& text, std::vector<std::uint64_t>& sizes)
{
    sizes.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        std::string item = text.substr(start, end - start);
        if (item.empty())
            return false;
        char* rest = nullptr;
        unsigned long long value = std::strtoull(item.c_str(), &rest, 10);
        if (rest == item.c_str())
            return false;
        std::string unit = rest;
        if (unit == "K" || unit == "k")
            value <<= 10;
        else if (unit == "M" || unit == "m")
            value <<= 20;
        else if (unit == "G" || unit == "g")
            value <<= 30;
        else if (!unit.empty())
            return false;
        if (value == 0)
            return false;
        sizes.push_back(value);
        start = end + 1;
    }
    return !sizes.empty();
}

std::string SizeLabel(std::uint64_t size)
{
    if (size % (1u << 20) == 0)
        return std::to_string(size >> 20) + "M";
    if (size % (1u << 10) == 0)
        return std::to_string(size >> 10) + "K";
    return std::to_string(size);
}

double NowSeconds()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double ThreadCpuSeconds()
{
#if defined(_WIN32)
    return -1;
#else
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0)
        return -1;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}

}  // namespace bench
