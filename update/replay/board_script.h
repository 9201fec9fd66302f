// The simulator's configuration that gives a plan's answers: for each entry point (and
// command code), its most common answer as the static section, and a numbered section for
// each call that the log shows answered otherwise.
#pragma once

#include "replay/replay_plan.h"

#include <string>
#include <vector>

namespace torvexreplay {

// quelvane-sim.ini; `heading` lines (without their "; ") open it.
std::string BoardScript(const std::vector<BoardAnswer>& answers, const std::vector<std::string>& heading);

// How many numbered sections the script holds.
std::size_t NumberedSections(const std::vector<BoardAnswer>& answers);

}  // namespace torvexreplay
