#include "host/library_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

#if defined(_WIN32)

void* LoadLibraryFile(const std::string& path)
{
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}

void UnloadLibraryFile(void* library)
{
    if (library != nullptr)
        FreeLibrary(static_cast<HMODULE>(library));
}

void* FindExport(void* library, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void* FindExportByOrdinal(void* library, unsigned ordinal)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), MAKEINTRESOURCEA(ordinal)));
}

bool LibraryLoaded(const std::string& path)
{
    return GetModuleHandleA(path.c_str()) != nullptr;
}

#else

void* LoadLibraryFile(const std::string& path)
{
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void UnloadLibraryFile(void* library)
{
    if (library != nullptr)
        dlclose(library);
}

void* FindExport(void* library, const char* name)
{
    return dlsym(library, name);
}

void* FindExportByOrdinal(void*, unsigned)
{
    return nullptr;
}

bool LibraryLoaded(const std::string& path)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library != nullptr)
        dlclose(library);  // RTLD_NOLOAD still counted a reference
    return library != nullptr;
}

#endif

}  // namespace host
