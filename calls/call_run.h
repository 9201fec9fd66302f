// One process of a calls file: torvex.dll loaded from the setup's folder, and each call
// made in turn, with what it returned printed on a line of its own.
#pragma once

#include "replay/call_script.h"

#include <string>

namespace torvexcalls {

// Runs the calls in `folder` (the module, torvex.ini and simulator\ lie there). False,
// with the reason, when the module cannot be loaded or lacks an export.
bool RunCalls(const std::string& folder, const torvexreplay::ScriptedProcess& calls, std::string* problem);

}  // namespace torvexcalls
