// What a replay repeats, worked out from a field log: the host's calls in their processes
// (with the files they named and the library coming and going), the board's answers in
// the order the library was called, and the lines that no replay can bring back, with
// the reason. Where the log leaves something open (a return value it does not record, a
// missing file against an empty one), the plan takes the simplest choice that gives the
// same lines.
#pragma once

#include "replay/field_calls.h"
#include "replay/log_reader.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace torvexreplay {

struct ReplayFile {
    std::string name;   // in the setup's files folder
    std::string bytes;  // its content (empty for an empty file)
    std::string what;   // what the log tells of it, for the reader
};

struct ReplayStep {
    enum class Kind { kCall, kLibraryAbsent, kLibraryPresent };
    Kind kind = Kind::kCall;
    HostCall call = HostCall::kInit;
    int file = -1;         // download: index in ReplayPlan::files, -1 for an empty path
    std::size_t line = 0;  // 1-based field line where the call begins
};

struct ReplayProcess {
    std::size_t firstLine = 0;  // 1-based field lines
    std::size_t lastLine = 0;
    std::vector<ReplayStep> steps;
};

// The answer to one library call: its section of the simulator's configuration
// ("open", "command.30") and the keys that make it.
struct BoardAnswer {
    std::string section;
    std::vector<std::pair<std::string, std::string>> keys;
    std::size_t line = 0;  // 1-based field line that shows it
};

struct LineNote {
    std::size_t line = 0;   // 1-based field line
    std::string why;        // why a replay cannot write it as the field did
    std::size_t until = 0;  // the note explains differences up to this line (the end of its call)
};

struct RunSelection {
    bool all = false;
    std::size_t run = 0;  // 1-based; 0: the last run
};

struct ReplayPlan {
    std::size_t runsInLog = 0;
    std::size_t firstRun = 0;  // 1-based, the runs replayed
    std::size_t lastRun = 0;
    std::size_t firstLine = 0;  // the field lines replayed: [firstLine, endLine), 1-based
    std::size_t endLine = 0;
    bool cutShort = false;  // the field lines replayed end where the log stops being readable
    std::size_t stopLine = 0;
    std::string stopReason;
    std::vector<ReplayProcess> processes;
    std::vector<ReplayFile> files;
    std::vector<BoardAnswer> answers;  // in the order the library is called
    std::vector<LineNote> notes;
    std::vector<std::string> remarks;  // what the plan had to assume, for the reader
    std::size_t CallCount() const;
};

// False, with the reason, when the selection names no run of the log.
bool PlanReplay(const FieldLog& log, const RunSelection& selection, ReplayPlan* plan, std::string* refusal);

// The note that explains a difference at `line`: the last one at or before it within its
// call, or null.
const LineNote* NoteFor(const ReplayPlan& plan, std::size_t line);

}  // namespace torvexreplay
