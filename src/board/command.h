// Board commands: the request and status records, the command codes, and the common
// way a command is sent, reported and judged.
#ifndef TORVEX_COMMAND_H
#define TORVEX_COMMAND_H

#include <cstddef>
#include <cstdint>

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

// Status preset by the module and filled by the library (8 bytes, little-endian).
struct CommandStatus {
    std::uint16_t general;
    std::uint16_t com;
    std::uint32_t replyLength;  // reply bytes waiting for _GetResult
};
static_assert(sizeof(CommandStatus) == 8, "CommandStatus is 8 bytes");
static_assert(offsetof(CommandStatus, com) == 2 && offsetof(CommandStatus, replyLength) == 4,
              "CommandStatus layout");

enum CommandCode : std::uint8_t {
    kCmdResetBoard = 0x07,
    kCmdReadFlagEeprom = 0x09,
    kCmdWriteFlagEeprom = 0x0C,
    kCmdStartApplication = 0x12,
    kCmdDownload = 0x30,
    kCmdComponentVersion = 0xFA,
};

constexpr std::uint32_t kCommandTimeout = 100;
constexpr std::uint32_t kDownloadTimeout = 10000;

// `com` values the module interprets.
constexpr std::uint16_t kComAccepted = 3;
constexpr std::uint16_t kComAcceptedAnyGeneral = 1;
constexpr std::uint16_t kComFlashEmpty = 37;

// Fills the request, presets the status (general 0, com 3, no reply) and calls
// _SendCommand, which the caller has checked is resolved. Returns its raw value.
int SendBoardCommand(std::uint8_t code, std::uint32_t timeout, const char* payload, std::uint32_t length,
                     CommandStatus& status);

// "_ExecuteCommand <label> CompteRendu com = ... général = ...", `prefix` before it.
void LogCommandReport(const char* prefix, const char* label, const CommandStatus& status);

// Accepted: _SendCommand returned non-zero and either general 0 with com 3, or com 1.
bool CommandAccepted(int sendResult, const CommandStatus& status);

// Start the application in flash, reset the board: _SendCommand's raw value, 0 when unresolved.
int Saut_Appli(void);
int Reset_Board(void);

#endif
