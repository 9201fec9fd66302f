// Reads a Torvex.log as the module wrote it: its lines, recognised one by one, and its
// runs (each initialisation of the module writes a date line, which begins a run). A log
// that cannot be one is refused with the reason; one that stops being readable (cut in
// the middle of a line, a line no module writes, a line too long) is read up to that
// line, and says where and why it stopped.
#pragma once

#include "replay/log_lines.h"

#include <cstddef>
#include <string>
#include <vector>

namespace torvexreplay {

// The module empties its log past this size, so no Torvex.log is larger.
constexpr std::size_t kLargestLog = 5000000;

// The names FieldLog::encoding gives, as JSON keeps them ("UTF-16" and "UTF-8" besides).
inline constexpr char kEncodingUtf16BigEndian[] = "UTF-16 (big-endian)";
inline constexpr char kEncodingUtf16NoMark[] = "UTF-16 without a byte order mark";

struct Run {
    std::size_t first = 0;  // index in FieldLog::lines of its date line
    std::size_t end = 0;    // one past its last line
};

// Its lines point into its text: it is neither copied nor moved.
struct FieldLog {
    FieldLog() = default;
    FieldLog(const FieldLog&) = delete;
    FieldLog& operator=(const FieldLog&) = delete;

    std::string text;            // the log in the module's Windows-1252 (converted when it was not)
    std::string encoding;        // "" when Windows-1252; otherwise what it was read from
    std::vector<LogLine> lines;  // the lines read, numbered from 1 by their index + 1
    std::vector<Run> runs;
    std::size_t leadingLines = 0;  // lines before the first run (the log was emptied mid-run)
    bool complete = true;          // every line was read
    std::size_t stopLine = 0;      // when not complete: the number of the line not read
    std::string stopReason;        // and why
};

// False, with the reason in `refusal`, when `bytes` cannot be a Torvex.log: empty, larger
// than kLargestLog, no run at all, or lines before its first run that no module writes.
bool ReadFieldLog(const std::string& bytes, FieldLog* log, std::string* refusal);

}  // namespace torvexreplay
