// Shared by the benchmark programs, on both builds: application files, the plain read
// that the download is compared with, and the peak memory probe. Module copies come from
// the host harness (tests/host).
#pragma once

#include "host/files.h"
#include "host/module_copy.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using host::JoinPath;
using host::ModuleCopy;
using host::RemoveTree;

// Writes an application file of `size` bytes: a valid banner at offset 8 (so that the
// download logs it as it would a real file) and pseudo-random bytes elsewhere.
bool MakeApplicationFile(const std::string& path, std::uint64_t size);

// What the download is measured against: open the file, read it whole with one read into
// one heap buffer, hand the buffer to a function the optimiser cannot see through, free it.
// Returns the number of bytes read.
std::size_t BaselineRead(const char* path);

// Receives a buffer and does nothing with it, out of the optimiser's sight.
void ConsumeBuffer(const char* data, std::size_t size);

// Peak resident memory of the process. Where supported (Linux), Reset() lowers the peak
// to the current resident size; PeakBytes() - the resident size taken just before is
// then the most memory the process held at once during what ran in between.
namespace peak_memory {
bool Supported();
void Reset();
std::int64_t ResidentBytes();
std::int64_t PeakBytes();
}  // namespace peak_memory

// How the process's allocator treats large blocks; applies to the whole process, the
// module and the simulator included.
//  - Fresh: a large block is mapped when allocated and returned to the system when freed,
//    as the Windows heap does with blocks of this size: every call pays for touching new
//    pages, and the resident size shows the memory the call really uses.
//  - Reused: freed blocks stay with the allocator and the next call of the same size gets
//    them back, already touched: the calls measure the work on the bytes without the
//    cost of new pages.
// Only glibc's allocator is steered; elsewhere the system's allocator decides.
enum class MemoryRegime { Fresh, Reused };
void SetMemoryRegime(MemoryRegime regime);
bool ParseMemoryRegime(const std::string& text, MemoryRegime& regime);  // "fresh" | "reused"

// "64K", "16M", "1G" or plain bytes, comma separated; false on a malformed list.
bool ParseSizes(const std::string& text, std::vector<std::uint64_t>& sizes);
std::string SizeLabel(std::uint64_t size);  // "16M", "64K", "100"

double NowSeconds();  // monotonic
// CPU time of the calling thread (user and system), in seconds; -1 where the platform
// only counts it in scheduler ticks (Windows), too coarse for one call.
double ThreadCpuSeconds();

}  // namespace bench
