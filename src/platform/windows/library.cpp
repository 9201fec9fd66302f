#include "platform/platform.h"

#include <windows.h>

void* Platform_LoadLibrary(const char* path)
{
    if (path == nullptr || path[0] == '\0')
        return nullptr;
    return reinterpret_cast<void*>(LoadLibraryA(path));
}

GenericFunction Platform_FindSymbol(void* library, const char* name)
{
    FARPROC entry = GetProcAddress(static_cast<HMODULE>(library), name);
    return reinterpret_cast<GenericFunction>(entry);  // void(*)(void) is the one exempt cast
}

void Platform_FreeLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}
