// The warning that comes first when the newest update of the board in hand was
// interrupted: its banner may look right over an incomplete application.
#pragma once

#include "commands.h"
#include "history/history_attempts.h"
#include "module_run.h"
#include "output.h"

#include <string>

namespace torvexctl {

// Says on stderr what the interrupted attempt left and what to do (`next`), and puts it in
// the JSON as "interrupted_update".
void TellInterrupted(const torvexupdate::Record& attempt, const std::string& next, Output& out);

// For the queries: warns when the history holds an interrupted last update of this board.
// `reference`: the board's reference as the module gave it, or null to ask the board for
// it, which is done only when the history holds an interrupted update of some board.
void WarnWhenInterrupted(ModuleRun& run, const Options& options, const std::string* reference, Output& out);

}  // namespace torvexctl
