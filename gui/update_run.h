// One update on a worker thread, so that the window keeps answering while the board is
// written. The worker keeps what it has to say here and posts a message to the window,
// which then takes it on its own thread.
#pragma once

#include "engine/update_engine.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace torvexgui {

// New lines for the run's log list: take them with TakeLines().
constexpr UINT kRunLogLineMessage = WM_APP + 1;
// The run has ended: take its report with Finish().
constexpr UINT kRunDoneMessage = WM_APP + 2;
// The file has been read and hashed: the board is next.
constexpr UINT kRunCheckedMessage = WM_APP + 3;

class UpdateRun {
public:
    UpdateRun() = default;
    ~UpdateRun() { Join(); }
    UpdateRun(const UpdateRun&) = delete;
    UpdateRun& operator=(const UpdateRun&) = delete;

    // Reads, checks and hashes the file at `utf8Path` as it is now (seconds for a large
    // file: the window says so meanwhile), then updates the board with it. `logPath`: the
    // module's Torvex.log, whose new lines join the run's log.
    void Start(HWND window, const std::string& utf8Path, const torvexupdate::UpdateOptions& options,
               const torvexupdate::BoardCalls& calls, const std::string& logPath);
    // The lines reported since the last call.
    std::vector<std::wstring> TakeLines();
    // After kRunDoneMessage: waits for the worker to return and gives the run's report,
    // and the file as the run found it.
    torvexupdate::UpdateReport Finish(torvexupdate::UpdateFile* file);

private:
    void Join();
    void AddLine(HWND window, const std::wstring& line);

    std::thread worker_;
    std::mutex mutex_;  // guards lines_, report_ and file_
    std::vector<std::wstring> lines_;
    torvexupdate::UpdateReport report_;
    torvexupdate::UpdateFile file_;
};

}  // namespace torvexgui
