// Behaviour of the simulated board, one function per entry point. The exported
// names live in exports.cpp, which decides which of them a build offers.
#pragma once

#include "config.h"
#include "records.h"

#include <cstdint>

namespace qsim {

// Re-reads quelvane-sim.ini; every entry point calls it so tests may change the
// configuration between calls.
const Config& reload_config();

int create_router();
int get_comm_sessions(void* table, int32_t size, uint32_t* count);
int open_comm_session(CompteRendu* report, unsigned char* session_flag);
int initialise_comm_board(CompteRendu* report);
int close_comm_session(CompteRendu* report);
int send_command(int32_t arg, const CommandRequest* request, CommandStatus* status,
                 const char* payload);
int get_result(int32_t arg, uint32_t length, char* destination, CompteRendu* report);
int board_get_info(int32_t arg0, int32_t arg1, char* buffer, int32_t length,
                   CompteRendu* report);
int cleanup();

} // namespace qsim
