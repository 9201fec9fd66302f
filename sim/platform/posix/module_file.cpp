#include "platform/sim_platform.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace qsim {
namespace {

// Any function of this module serves as an address inside it.
void Anchor() { }

}  // namespace

bool FindModuleFile(char* out, size_t cap)
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&Anchor), &info) || !info.dli_fname)
        return false;
    // dli_fname is the name the loader used, possibly relative to the working directory
    // at load time: the caller asks once, when the module is loaded.
    char resolved[PATH_MAX];
    const char* path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    size_t length = std::strlen(path);
    if (length + 1 > cap)
        return false;
    std::memcpy(out, path, length + 1);
    return true;
}

bool IsPathSeparator(char c)
{
    return c == '/';
}

}  // namespace qsim
