#include "replay/replay_platform.h"

namespace torvexreplay {

const char kCallsProgramName[] = "torvexcalls.exe";
const char kRepeatCommandName[] = "replay.cmd";
const char kSetupPathSeparator = '\\';

std::string RepeatCommandText(const std::string& callsFile)
{
    // Line ends as the console takes them; the folder is the command's own, wherever it lies.
    return "@echo off\r\n"
           "rem Repeats the calls of the field log against the simulated board, from the start:\r\n"
           "rem torvexcalls empties Torvex.log and the board's state here first.\r\n"
           "cd /d \"%~dp0\"\r\n"
           "torvexcalls.exe "
        + callsFile + "\r\n";
}

}  // namespace torvexreplay
