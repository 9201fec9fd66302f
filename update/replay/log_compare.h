// The log a replay wrote against the field lines it repeats, line by line, the date lines
// and the paths aside (ComparableLine).
#pragma once

#include "replay/log_reader.h"

#include <cstddef>
#include <string>

namespace torvexreplay {

struct Comparison {
    bool same = false;
    std::size_t compared = 0;    // lines found alike
    std::size_t fieldLine = 0;   // 1-based field line of the first difference (0: none)
    std::size_t replayLine = 0;  // 1-based line of the replay's log there (0: it had ended)
    std::string fieldText;       // the two lines as written
    std::string replayText;
    bool replayLonger = false;  // the field lines ended first
};

// Field lines [first, end) (0-based) against the whole replay log. When `fieldCut`, the
// field lines stop where the log stopped being readable: the replay may go on past them.
Comparison CompareLogs(const FieldLog& field, std::size_t first, std::size_t end, bool fieldCut,
                       const FieldLog& replay);

}  // namespace torvexreplay
