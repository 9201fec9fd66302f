#include "link/library_contract.h"

#include "platform/platform.h"

#define TORVEX_DEFINE_ENTRY_POINT(name, type) type name = nullptr;
TORVEX_ENTRY_POINTS(TORVEX_DEFINE_ENTRY_POINT)
#undef TORVEX_DEFINE_ENTRY_POINT

std::uint32_t SessionOccupied(const unsigned char* entry)
{
    return static_cast<std::uint32_t>(entry[0]) | static_cast<std::uint32_t>(entry[1]) << 8
           | static_cast<std::uint32_t>(entry[2]) << 16 | static_cast<std::uint32_t>(entry[3]) << 24;
}

void ResolveEntryPoints(void* library)
{
#define TORVEX_CLEAR_ENTRY_POINT(name, type) name = nullptr;
    TORVEX_ENTRY_POINTS(TORVEX_CLEAR_ENTRY_POINT)
#undef TORVEX_CLEAR_ENTRY_POINT
    // A name the library lacks leaves its pointer null; callers test it before each call.
#define TORVEX_RESOLVE_ENTRY_POINT(name, type) name = reinterpret_cast<type>(Platform_FindSymbol(library, #name));
    TORVEX_ENTRY_POINTS(TORVEX_RESOLVE_ENTRY_POINT)
#undef TORVEX_RESOLVE_ENTRY_POINT
}
