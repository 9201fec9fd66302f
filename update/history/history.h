// The update history: one JSON object per line (JSON Lines) in torvex-history.jsonl, one
// line per update attempt, appended and never rewritten, so that a record of what was
// written into which board survives the program and the machine's power.
#pragma once

#include "history/record_schema.h"

#include <cstdio>
#include <string>
#include <vector>

namespace torvexupdate {

constexpr const char* kHistoryFileName = "torvex-history.jsonl";
// Environment variable that moves the history (a file path).
constexpr const char* kHistoryVariable = "TORVEX_HISTORY";

// Where the history is: `chosen` when not empty, else the environment variable when set,
// else torvex-history.jsonl in `moduleFolder`.
std::string HistoryPath(const std::string& chosen, const std::string& moduleFolder);

// Appends `record` as one line and flushes it to the disk. A file that does not end with a
// line end (its last line torn off, by a power cut for instance) gets one first, so the new
// record always stands on a line of its own. False with `error` set when it cannot be
// written.
bool AppendRecord(const std::string& path, const Record& record, std::string* error);

// The call that commits an appended record to the disk (the system's FlushToDisk). Tests
// put a counting one in its place; returns the one it replaces.
using DiskFlush = bool (*)(std::FILE* file);
DiskFlush SetDiskFlush(DiskFlush flush);

struct History {
    std::vector<Record> records;        // oldest first
    std::vector<std::string> warnings;  // one per line skipped, saying which and why
    std::string error;                  // the file exists but cannot be read
};

// Reads every whole record. A line that is not a JSON object (torn or damaged) is skipped
// with a warning; a missing file is an empty history.
History ReadHistory(const std::string& path);

}  // namespace torvexupdate
