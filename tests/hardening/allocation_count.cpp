#include "allocation_count.h"

#include <atomic>
#include <cstdlib>

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* block, std::size_t size);
}

namespace allocation_count {

namespace {

std::atomic<bool> counting{false};
std::atomic<unsigned long long> requests{0};
std::atomic<unsigned long long> bytes{0};
std::atomic<unsigned long long> largest{0};
std::atomic<std::size_t> failingCalloc{0};

void Count(unsigned long long size)
{
    if (!counting.load())
        return;
    ++requests;
    unsigned long long before = bytes.load();
    unsigned long long after = before + size < before ? ~0ULL : before + size;
    bytes.store(after);
    if (size > largest.load())
        largest.store(size);
}

}  // namespace

void Start()
{
    requests = 0;
    bytes = 0;
    largest = 0;
    counting = true;
}

void FailCallocOf(std::size_t bytes)
{
    failingCalloc = bytes;
}

Counts Stop()
{
    counting = false;
    Counts counts;
    counts.requests = requests.load();
    counts.bytes = bytes.load();
    counts.largest = largest.load();
    return counts;
}

}  // namespace allocation_count

extern "C" {

void* __wrap_malloc(std::size_t size)
{
    allocation_count::Count(size);
    return __real_malloc(size);
}

void* __wrap_calloc(std::size_t count, std::size_t size)
{
    unsigned long long total = 0;
    if (__builtin_mul_overflow(static_cast<unsigned long long>(count), static_cast<unsigned long long>(size), &total))
        total = ~0ULL;
    allocation_count::Count(total);
    if (total != 0 && total == allocation_count::failingCalloc.load())
        return nullptr;
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, std::size_t size)
{
    allocation_count::Count(size);
    return __real_realloc(block, size);
}
}
