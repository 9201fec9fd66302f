#include "replay/replay_platform.h"

namespace torvexreplay {

const char kCallsProgramName[] = "torvexcalls";
const char kRepeatCommandName[] = "replay.sh";
const char kSetupPathSeparator = '/';

std::string RepeatCommandText(const std::string& callsFile)
{
    return "#!/bin/sh\n"
           "# Repeats the calls of the field log against the simulated board, from the start:\n"
           "# torvexcalls empties Torvex.log and the board's state here first.\n"
           "cd \"$(dirname \"$0\")\" && exec ./torvexcalls "
        + callsFile + "\n";
}

}  // namespace torvexreplay
