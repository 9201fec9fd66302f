// The lines one run adds to Torvex.log: the size of the log is noted before the run and
// what was appended is read afterwards.
#pragma once

#include <string>
#include <vector>

namespace torvexupdate {

class LogTail {
public:
    // Notes the current size of the log at `path` (0 when it does not exist yet).
    explicit LogTail(std::string path);

    const std::string& Path() const { return path_; }

    // The lines appended since construction, decoded from Windows-1252 to UTF-8, without
    // their line ends (LF or CR LF). The module empties the log when it outgrows its size
    // limit: a log now shorter than at the start is read whole and `restarted` is set.
    std::vector<std::string> AddedLines(bool* restarted = nullptr) const;

private:
    std::string path_;
    unsigned long long startSize_ = 0;
};

// Splits text on LF, dropping a CR before each LF; an unterminated last line is kept.
std::vector<std::string> SplitLogLines(const std::string& text);

}  // namespace torvexupdate
