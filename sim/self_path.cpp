#include "self_path.h"

#include "platform/sim_platform.h"

#include <cstring>

namespace qsim {
namespace {

// Keeps everything up to and including the last separator.
bool KeepDirectory(const char* path, char* out, size_t cap)
{
    const char* last = nullptr;
    for (const char* c = path; *c; ++c) {
        if (IsPathSeparator(*c))
            last = c;
    }
    size_t len = last ? static_cast<size_t>(last - path) + 1 : 0;
    if (len + 1 > cap)
        return false;
    std::memcpy(out, path, len);
    out[len] = '\0';
    return true;
}

bool LocateModuleDirectory(char* out, size_t cap)
{
    char path[4200];
    return FindModuleFile(path, sizeof path) && KeepDirectory(path, out, cap);
}

constexpr size_t kDirCapacity = 4096;
char g_directory[kDirCapacity];
bool g_directoryFound = false;

// Finds the directory once, when the module is loaded, before the host has a
// chance to change its working directory.
struct LocateAtLoad {
    LocateAtLoad() noexcept { g_directoryFound = LocateModuleDirectory(g_directory, sizeof g_directory); }
} g_locateAtLoad;

}  // namespace

bool FindModuleDirectory(char* out, size_t cap)
{
    if (!out || cap == 0)
        return false;
    if (!g_directoryFound)
        g_directoryFound = LocateModuleDirectory(g_directory, sizeof g_directory);
    if (!g_directoryFound)
        return false;
    size_t len = std::strlen(g_directory);
    if (len + 1 > cap)
        return false;
    std::memcpy(out, g_directory, len + 1);
    return true;
}

}  // namespace qsim
