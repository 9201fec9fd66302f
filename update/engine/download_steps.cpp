#include "engine/download_steps.h"

namespace torvexupdate {

std::vector<DownloadAttempt> DownloadWithRetries(const std::function<DownloadAttempt()>& attempt, int retries,
                                                 const std::function<void(int, int)>& beforeRetry)
{
    std::vector<DownloadAttempt> attempts{attempt()};
    while (attempts.back().result == -1 && static_cast<int>(attempts.size()) <= retries) {
        beforeRetry(static_cast<int>(attempts.size()) + 1, attempts.back().result);
        attempts.push_back(attempt());
    }
    return attempts;
}

}  // namespace torvexupdate
