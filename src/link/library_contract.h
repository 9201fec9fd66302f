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

// The report record as the module presets it before a library call that fills it.
constexpr CompteRendu kReportPreset = {0, 3, 0};

// Request handed to _SendCommand (12 bytes, little-endian).
struct CommandRequest {
    std::uint8_t prefix;   // always 0x00
    std::uint8_t code;     // command code
    std::uint8_t tag;      // always 0xAA
    std::uint8_t padding;  // carries no meaning
    std::uint32_t timeout;
    std::uint32_t length;  // payload bytes
};
static_assert(sizeof(CommandRequest) == 12, "CommandRequest is 12 bytes");
static_assert(offsetof(CommandRequest, code) == 1 && offsetof(CommandRequest, tag) == 2
                  && offsetof(CommandRequest, timeout) == 4 && offsetof(CommandRequest, length) == 8,
              "CommandRequest layout");

constexpr std::uint8_t kRequestPrefix = 0x00;
constexpr std::uint8_t kRequestTag = 0xAA;

// Status preset by the module and filled by the library (8 bytes, little-endian).
struct CommandStatus {
    std::uint16_t general;
    std::uint16_t com;
    std::uint32_t replyLength;  // reply bytes waiting for _GetResult
};
static_assert(sizeof(CommandStatus) == 8, "CommandStatus is 8 bytes");
static_assert(offsetof(CommandStatus, com) == 2 && offsetof(CommandStatus, replyLength) == 4,
              "CommandStatus layout");

// The status as the module presets it before every command: general 0, com 3, no reply.
constexpr CommandStatus kStatusPreset = {0, 3, 0};

// Command codes the module sends.
enum CommandCode : std::uint8_t {
    kCmdResetBoard = 0x07,
    kCmdReadFlagEeprom = 0x09,
    kCmdWriteFlagEeprom = 0x0C,
    kCmdStartApplication = 0x12,
    kCmdDownload = 0x30,
    kCmdComponentVersion = 0xFA,
};

// Time limits handed to the library unchanged; the library gives them their unit.
constexpr std::uint32_t kCommandTimeout = 100;
constexpr std::uint32_t kDownloadTimeout = 10000;

// `com` values the module interprets.
constexpr std::uint16_t kComAccepted = 3;
constexpr std::uint16_t kComAcceptedAnyGeneral = 1;
constexpr std::uint16_t kComFlashEmpty = 37;
// After a download that _SendCommand did not carry out: the board refused it (three
// codes), or the download failed.
constexpr std::uint16_t kComDownloadRefusedCodes[] = {19, 48, 51};
constexpr std::uint16_t kComDownloadFailed = 50;

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
