#include "call_counts.h"

#include "ascii.h"
#include "state_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qsim {
namespace {

// The sections answered call by call: eight entry points and 256 command codes.
constexpr int kMaxCounts = 8 + 256;
constexpr size_t kNameCapacity = 16;

struct CallCount {
    char name[kNameCapacity];
    uint32_t calls;
};

void LowerCopy(const char* from, char* to, size_t cap)
{
    size_t i = 0;
    for (; from[i] && i + 1 < cap; ++i)
        to[i] = AsciiLower(from[i]);
    to[i] = '\0';
}

// Reads "name=number" lines; anything else in the file is ignored.
int ReadCounts(const char* path, CallCount* counts)
{
    char text[kMaxCounts * 32] = {};
    size_t size = ReadFileBytes(path, 0, reinterpret_cast<uint8_t*>(text), sizeof text - 1);
    text[size] = '\0';
    int n = 0;
    for (char* line = text; *line && n < kMaxCounts;) {
        char* end = std::strchr(line, '\n');
        if (end)
            *end = '\0';
        char* eq = std::strchr(line, '=');
        char* digitsEnd = nullptr;
        unsigned long calls = eq ? std::strtoul(eq + 1, &digitsEnd, 10) : 0;
        if (eq && static_cast<size_t>(eq - line) < kNameCapacity && digitsEnd != eq + 1) {
            *eq = '\0';
            LowerCopy(line, counts[n].name, kNameCapacity);
            counts[n].calls = static_cast<uint32_t>(calls);
            ++n;
        }
        line = end ? end + 1 : line + std::strlen(line);
    }
    return n;
}

}  // namespace

uint32_t CountCall(const char* section)
{
    char path[4200];
    if (!BuildStatePath(StateFile::kCalls, path, sizeof path))
        return 0;
    CallCount counts[kMaxCounts];
    int n = ReadCounts(path, counts);

    char name[kNameCapacity];
    LowerCopy(section, name, sizeof name);
    int at = 0;
    while (at < n && std::strcmp(counts[at].name, name) != 0)
        ++at;
    if (at == n) {
        if (n == kMaxCounts)
            return 0;
        std::memcpy(counts[n].name, name, sizeof name);
        counts[n++].calls = 0;
    }
    ++counts[at].calls;

    char text[kMaxCounts * 32];
    size_t used = 0;
    for (int i = 0; i < n; ++i) {
        int written = std::snprintf(text + used, sizeof text - used, "%s=%u\n", counts[i].name,
                                    static_cast<unsigned>(counts[i].calls));
        if (written <= 0 || static_cast<size_t>(written) >= sizeof text - used)
            return 0;
        used += static_cast<size_t>(written);
    }
    return WriteWholeFile(path, text, used) ? counts[at].calls : 0;
}

}  // namespace qsim
