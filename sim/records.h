// Binary records exchanged with the host module.
//
// Every record is little-endian and defined by byte offset. The host may hand
// over pointers that are not naturally aligned (session entries are packed at
// a 285-byte stride), so the simulator never dereferences them as structs: it
// copies records in and out with memcpy.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "The records are little-endian; a big-endian build would need byte swapping."
#endif

namespace qsim {

// Outcome report attached to session-level calls.
struct CompteRendu {
    int32_t general;
    int32_t com;
    int32_t aux;
};

// Header of a command sent to the board.
struct CommandRequest {
    uint8_t prefix;    // always 0x00
    uint8_t code;      // command code, see below
    uint8_t tag;       // always 0xAA
    uint8_t padding;   // meaningless
    uint32_t timeout;  // milliseconds
    uint32_t length;   // payload byte count
};

// Outcome of a command; the host presets it to general 0, com 3, length 0.
struct CommandStatus {
    uint16_t general;
    uint16_t com;
    uint32_t replyLength;
};

#pragma pack(push, 1)
// One slot of the session table; only the leading word has a meaning.
struct SessionEntry {
    uint32_t occupied;  // non-zero = session in use
    uint8_t opaque[281];
};
#pragma pack(pop)

static_assert(sizeof(CompteRendu) == 12, "CompteRendu is 12 bytes");
static_assert(offsetof(CompteRendu, com) == 4 && offsetof(CompteRendu, aux) == 8, "CompteRendu field offsets");
static_assert(sizeof(CommandRequest) == 12, "CommandRequest is 12 bytes");
static_assert(offsetof(CommandRequest, code) == 1 && offsetof(CommandRequest, tag) == 2
                  && offsetof(CommandRequest, timeout) == 4 && offsetof(CommandRequest, length) == 8,
              "CommandRequest field offsets");
static_assert(sizeof(CommandStatus) == 8, "CommandStatus is 8 bytes");
static_assert(offsetof(CommandStatus, com) == 2 && offsetof(CommandStatus, replyLength) == 4,
              "CommandStatus field offsets");
static_assert(sizeof(SessionEntry) == 285, "SessionEntry is 285 bytes");

// The host's session table holds this many entries at most.
constexpr int kMaxSessionEntries = 20;

// Command codes understood by the board.
constexpr uint8_t kCmdReset = 0x07;
constexpr uint8_t kCmdReadEepromFlags = 0x09;
constexpr uint8_t kCmdWriteEepromFlags = 0x0C;
constexpr uint8_t kCmdStartApplication = 0x12;
constexpr uint8_t kCmdDownloadApplication = 0x30;
constexpr uint8_t kCmdComponentVersion = 0xFA;

// com values reported by the board.
constexpr int32_t kComAccepted = 3;
constexpr int32_t kComAcceptedAlt = 1;
constexpr int32_t kComUnknownCommand = 2;
constexpr int32_t kComNoApplication = 37;
constexpr int32_t kComDownloadFailed = 50;

// Length of the component version banner, taken from the flashed image.
constexpr uint32_t kBannerOffset = 8;
constexpr uint32_t kBannerLength = 48;

}  // namespace qsim
