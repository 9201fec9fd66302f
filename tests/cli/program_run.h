// Runs a program as a child process through the shell, as a user would from a console:
// stdout through a pipe, stderr into a file, and the exit status. Arguments are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace cli_testing {

struct ProgramRun {
    int status = -1;                  // exit status, -1 when the program did not exit normally
    std::string out;                  // stdout, line ends normalised to "\n"
    std::string err;                  // stderr, line ends normalised to "\n"
    bool bareCarriageReturn = false;  // a CR not followed by LF on stdout or stderr
};

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::string& stderrFile);

}  // namespace cli_testing
