// How many calls each section has answered since the board was reset: kept in
// quelvane-sim.calls beside the simulator ("open=3", one line a section), so that a
// script goes on from one host process to the next. Deleting the file starts again.
#pragma once

#include <cstdint>

namespace qsim {

// Counts one more call of `section` ("open", "command.30") and returns its number, from
// 1; 0 when the count cannot be kept (the file cannot be written).
uint32_t CountCall(const char* section);

}  // namespace qsim
