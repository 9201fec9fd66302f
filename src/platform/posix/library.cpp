#include "platform/platform.h"

#include <dlfcn.h>
#include <cstring>
#include <string>

void* Platform_LoadLibrary(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return nullptr;
    // Library paths are built with Windows separators; the loader here wants slashes.
    std::string native(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    return dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
}

GenericFunction Platform_FindSymbol(void* library, const char* name)
{
    if (library == nullptr)
        return nullptr;
    void* entry = dlsym(library, name);
    GenericFunction function = nullptr;
    static_assert(sizeof function == sizeof entry, "object and function pointers differ");
    std::memcpy(&function, &entry, sizeof function);
    return function;
}

void Platform_FreeLibrary(void* library)
{
    if (library != nullptr)
        dlclose(library);
}
