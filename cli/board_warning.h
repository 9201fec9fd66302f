// The warning that comes first when the board in hand may hold an incomplete application
// (its last write was interrupted or failed, and none has completed since): its banner
// may look right over part of a file.
#pragma once

#include "commands.h"
#include "history/board_account.h"
#include "words/messages.h"
#include "module_run.h"
#include "output.h"

namespace torvexctl {

// Says on stderr what the incomplete write left and what to do (`next`, a catalogue
// entry), and puts the attempts in the JSON: "incomplete_since", and "interrupted_update"
// when the last write was interrupted.
void TellIncomplete(const torvexupdate::BoardAccount& account, torvexupdate::Message next, Output& out);

// For the queries: warns when the board may hold an incomplete application. `reference`:
// the board's reference as the module gave it, or null to ask the board for it, which is
// done only when the history holds such a board.
void WarnWhenIncomplete(ModuleRun& run, const Options& options, const std::string* reference, Output& out);

}  // namespace torvexctl
