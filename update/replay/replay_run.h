// A field log replayed: the plan worked out from it, written into a new folder as a ready
// setup (the module, torvex.ini, the simulator with its script, the files, the calls and
// a command that repeats them), run there, and the log it wrote compared with the field's.
#pragma once

#include "replay/log_compare.h"
#include "replay/replay_plan.h"

#include <string>
#include <vector>

namespace torvexreplay {

struct ReplayRequest {
    std::string log;  // the field's Torvex.log
    RunSelection selection;
    std::string folder;  // the setup's folder: new, or empty
    // What the setup is made of.
    std::string module;        // torvex.dll
    std::string simulator;     // the simulator's quelvane.dll
    std::string callsProgram;  // torvexcalls
};

enum class ReplayResult {
    kRefused,           // nothing replayed: `refusal` says why
    kReproduced,        // the replay wrote the field lines again, line for line
    kReproducedInPart,  // as far as the field log is readable (plan.stopLine, plan.stopReason)
    kNotReproduced,     // `comparison` names the first line that differs, `why` the reason
};

struct ReplayOutcome {
    ReplayResult result = ReplayResult::kRefused;
    std::string refusal;
    std::string encoding;  // the field log's, when not the module's own
    std::size_t logLines = 0;
    ReplayPlan plan;
    std::size_t numberedAnswers = 0;  // numbered sections of the board's script
    std::string folder;               // the setup, absolute
    Comparison comparison;
    std::string why;
};

ReplayOutcome Replay(const ReplayRequest& request);

// The files of a setup, by the names the guide uses.
extern const char kCallsFileName[];
extern const char kFieldLinesName[];
extern const char kCallsOutputName[];

}  // namespace torvexreplay
