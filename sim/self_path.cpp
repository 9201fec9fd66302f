#include "self_path.h"

#include <cstring>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <climits>
#include <cstdlib>
#endif

namespace qsim {
namespace {

// Any function of this module serves as an address inside it.
void Anchor() { }

// Keeps everything up to and including the last separator.
bool KeepDirectory(const char* path, char* out, size_t cap)
{
    const char* slash = std::strrchr(path, '/');
#if defined(_WIN32)
    const char* backslash = std::strrchr(path, '\\');
    if (!slash || (backslash && backslash > slash))
        slash = backslash;
#endif
    size_t len = slash ? static_cast<size_t>(slash - path) + 1 : 0;
    if (len + 1 > cap)
        return false;
    std::memcpy(out, path, len);
    out[len] = '\0';
    return true;
}

bool LocateModuleDirectory(char* out, size_t cap)
{
#if defined(_WIN32)
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&Anchor), &self))
        return false;
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(self, path, sizeof path);
    if (n == 0 || n >= sizeof path)
        return false;
    return KeepDirectory(path, out, cap);
#else
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&Anchor), &info) || !info.dli_fname)
        return false;
    // dli_fname is the name the loader used, possibly relative to the working
    // directory at load time; hence the lookup at load time below.
    char resolved[PATH_MAX];
    const char* path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    return KeepDirectory(path, out, cap);
#endif
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
