// Behaviour of the simulated board, one function per entry point. The exported
// names live in exports.cpp, which decides which of them a build offers.
#pragma once

#include "config.h"
#include "records.h"

#include <cstdint>

namespace qsim {

// Re-reads quelvane-sim.ini; every entry point calls it so tests may change the
// configuration between calls.
const Config& ReloadConfig();

int CreateRouter();
int GetCommSessions(void* table, int32_t size, uint32_t* count);
int OpenCommSession(CompteRendu* report, unsigned char* sessionFlag);
int InitialiseCommBoard(CompteRendu* report);
int CloseCommSession(CompteRendu* report);
int SendCommand(int32_t arg, const CommandRequest* request, CommandStatus* status, const char* payload);
int GetResult(int32_t arg, uint32_t length, char* destination, CompteRendu* report);
int BoardGetInfo(int32_t arg0, int32_t arg1, char* buffer, int32_t length, CompteRendu* report);
int Cleanup();

}  // namespace qsim
