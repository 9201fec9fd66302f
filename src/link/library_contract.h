// What the module hands to the communication library and relies on: the records, the
// nine entry points and their types. Records are little-endian library formats.
#ifndef TORVEX_LIBRARY_CONTRACT_H
#define TORVEX_LIBRARY_CONTRACT_H

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define LIBRARY_CALL __cdecl
#else
#define LIBRARY_CALL
#endif

// Report record filled by the library.
struct CompteRendu {
    std::int32_t general;  // "CompteRendu général" in the log
    std::int32_t com;      // "CompteRendu com"
    std::int32_t aux;      // never read by the module
};
static_assert(sizeof(CompteRendu) == 12, "CompteRendu is 12 bytes");
static_assert(offsetof(CompteRendu, general) == 0 && offsetof(CompteRendu, com) == 4
                  && offsetof(CompteRendu, aux) == 8, "CompteRendu layout");

// The command records live with the board code (src/board/command.h).
struct CommandRequest;
struct CommandStatus;

// Session table filled by _GetCommSessions: 20 entries of 285 bytes, end to end.
constexpr std::size_t kSessionEntrySize = 285;
constexpr std::size_t kSessionEntryCount = 20;
constexpr std::size_t kSessionTableSize = kSessionEntrySize * kSessionEntryCount;
static_assert(kSessionTableSize == 5700, "session table is 5,700 bytes");

// `occupied`, bytes 0-3 of an entry, read byte by byte: entries are not aligned.
std::uint32_t SessionOccupied(const unsigned char* entry);

typedef int(LIBRARY_CALL* CreateRouterFn)(void);
typedef int(LIBRARY_CALL* InitialiseCommBoardFn)(CompteRendu* session);
typedef int(LIBRARY_CALL* SendCommandFn)(int zero, CommandRequest* request, CommandStatus* status,
                                         char* payload);
typedef int(LIBRARY_CALL* GetResultFn)(int zero, std::uint32_t replyLength, char* reply,
                                       CompteRendu* report);
typedef int(LIBRARY_CALL* OpenCommSessionFn)(CompteRendu* session, unsigned char* sessionFlag);
typedef int(LIBRARY_CALL* CloseCommSessionFn)(CompteRendu* session);
typedef int(LIBRARY_CALL* BoardGetInfoFn)(int zero, int two, char* buffer, int length,
                                          CompteRendu* report);
typedef int(LIBRARY_CALL* CleanupZRFn)(void);
typedef int(LIBRARY_CALL* GetCommSessionsFn)(void* table, int size, std::uint32_t* count);

// The nine entry points in lookup order: X(name, type).
#define TORVEX_ENTRY_POINTS(X)                         \
    X(_CreateRouter, CreateRouterFn)                   \
    X(_InitialiseCommBoard_Exp, InitialiseCommBoardFn) \
    X(_SendCommand, SendCommandFn)                     \
    X(_GetResult, GetResultFn)                         \
    X(_OpenCommSession, OpenCommSessionFn)             \
    X(_CloseCommSession, CloseCommSessionFn)           \
    X(_BoardGetInfo, BoardGetInfoFn)                   \
    X(_CleanupZR, CleanupZRFn)                         \
    X(_GetCommSessions, GetCommSessionsFn)

// One pointer per entry point, named after it; null while unresolved.
#define TORVEX_DECLARE_ENTRY_POINT(name, type) extern type name;
TORVEX_ENTRY_POINTS(TORVEX_DECLARE_ENTRY_POINT)
#undef TORVEX_DECLARE_ENTRY_POINT

// Sets every pointer to null, then looks each one up in `library` in contract order.
void ResolveEntryPoints(void* library);

#endif
