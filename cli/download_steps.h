// The steps of an application update, each on its own and without output, so that the
// caller decides what to show: check the file, read what the board carries, tell a
// download that would change nothing, download with retries, and sort out what the board
// carries after a download that did not succeed.
#pragma once

#include "banner.h"
#include "module_loader.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvexctl {

enum class FileVerdict { kApplication, kEmpty, kTooShort, kBadBanner };

struct FileCheck {
    FileVerdict verdict = FileVerdict::kApplication;
    std::string reason;  // why the file cannot be an application, for the user
};

// A readable file is an application when it holds a banner of five terminated fields of
// printable text, not all empty.
FileCheck CheckApplicationFile(const ApplicationFile& file);

struct BoardContent {
    bool known = false;            // false: the version query failed
    int result = 0;                // what the version query returned
    std::optional<Banner> banner;  // absent: no application in flash
};

BoardContent ReadBoardContent(Module& module);

// The board carries exactly the file's banner.
bool CarriesFile(const BoardContent& board, const ApplicationFile& file);

struct DownloadAttempt {
    int result = 0;
    double seconds = 0;
};

// Runs `attempt` (one download), and again while it fails with -1 (a transfer that failed
// on the link) up to `retries` more times; `beforeRetry` hears of each new attempt
// (numbered from 2) and the result that led to it. Every attempt is returned.
std::vector<DownloadAttempt> DownloadWithRetries(const std::function<DownloadAttempt()>& attempt, int retries,
                                                 const std::function<void(int, int)>& beforeRetry);

enum class AfterFailure {
    kUnknown,            // the board could not be read
    kUnchanged,          // it carries what it carried before
    kWrittenNotStarted,  // it carries the file's application, which was not started
    kEmpty,              // no application in flash
    kOther,              // another application than before and than the file's
};

AfterFailure ClassifyAfterFailure(const BoardContent& before, const BoardContent& after,
                                  const ApplicationFile& file);

}  // namespace torvexctl
