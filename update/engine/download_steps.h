// The steps of an application update, each on its own and without output: the file check
// (file_check.h), what the board carries and what a failed download left in it
// (board_state.h), and the download with its retries. The update engine runs them in order.
#pragma once

#include "module/board_state.h"
#include "application/file_check.h"

#include <functional>
#include <vector>

namespace torvexupdate {

struct DownloadAttempt {
    int result = 0;
    double seconds = 0;
};

// Runs `attempt` (one download), and again while it fails with -1 (a transfer that failed
// on the link) up to `retries` more times; `beforeRetry` hears of each new attempt
// (numbered from 2) and the result that led to it. Every attempt is returned.
std::vector<DownloadAttempt> DownloadWithRetries(const std::function<DownloadAttempt()>& attempt, int retries,
                                                 const std::function<void(int, int)>& beforeRetry);

}  // namespace torvexupdate
