// What a replay needs of the system, declared once here and implemented in a file of the
// same name in replay/windows and replay/posix (CMake picks the folder).
// Paths are UTF-8.
#pragma once

#include <string>
#include <vector>

namespace torvexreplay {

// run_program.cpp: runs `program` with `arguments` in the folder `folder` and waits for it.
// Its output (standard output and error) goes to the end of `outputFile`, or to this
// program's own when `outputFile` is "". Its exit status; -1, with the reason in `error`,
// when it could not be started or did not end by itself.
int RunProgram(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder,
               const std::string& outputFile, std::string* error);

// setup_files.cpp: the program that repeats calls, as the setup holds it; the command
// that runs it there (a file a person starts by hand), and that command's text; the
// separator of the paths written into the calls file.
extern const char kCallsProgramName[];
extern const char kRepeatCommandName[];
std::string RepeatCommandText(const std::string& callsFile);
extern const char kSetupPathSeparator;

}  // namespace torvexreplay
