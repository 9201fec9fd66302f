// Shows that a long call is running: a spinner with the elapsed time on a terminal,
// plain lines now and then otherwise (pipes and files get no carriage returns).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace torvexctl {

// Runs `work` on a worker thread while this thread shows `label` and the elapsed time on
// `stream` (nothing when it is null); returns what `work` returned and sets `seconds` to the time it took.
int RunWithProgress(const std::function<int()>& work, std::FILE* stream, const std::string& label, double* seconds);

}  // namespace torvexctl
