// Board commands: the common way a command is sent, reported and judged. The records
// and codes belong to the library contract (link/library_contract.h).
#ifndef TORVEX_COMMAND_H
#define TORVEX_COMMAND_H

#include "link/library_contract.h"

#include <cstdint>

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
