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

// A program started without waiting for it, stdout and stderr into files; Kill() ends it
// at once as a crash or a technician's kill would (TerminateProcess, SIGKILL).
class StartedProgram {
public:
    StartedProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& outFile,
                   const std::string& errFile);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    unsigned long ProcessId() const { return processId_; }
    bool Running();
    // The exit status, or -1 when it has not ended within the time (or was killed).
    int Wait(int milliseconds);
    void Kill();

private:
    unsigned long processId_ = 0;
    void* process_ = nullptr;  // Windows: the process handle
    int status_ = -2;          // -2 while running
};

}  // namespace cli_testing
