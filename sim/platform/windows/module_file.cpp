#include "platform/sim_platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>

namespace qsim {
namespace {

// Any function of this module serves as an address inside it.
void Anchor() { }

}  // namespace

bool FindModuleFile(char* out, size_t cap)
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&Anchor), &self))
        return false;
    char path[MAX_PATH * 4];
    DWORD n = GetModuleFileNameA(self, path, sizeof path);
    if (n == 0 || n >= sizeof path || n + 1 > cap)
        return false;
    std::memcpy(out, path, n + 1);
    return true;
}

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

}  // namespace qsim
