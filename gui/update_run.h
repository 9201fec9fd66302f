// One update on a worker thread, so that the window keeps answering while the board is
// written. The worker keeps what it has to say here and posts a message to the window,
// which then takes it on its own thread.
#pragma once

#include "update_engine.h"

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

class UpdateRun {
public:
    UpdateRun() = default;
    ~UpdateRun() { Join(); }
    UpdateRun(const UpdateRun&) = delete;
    UpdateRun& operator=(const UpdateRun&) = delete;

    // `logPath`: the module's Torvex.log, whose new lines join the run's log list.
    void Start(HWND window, const torvexupdate::UpdateFile& file, const torvexupdate::UpdateOptions& options,
               const torvexupdate::BoardCalls& calls, const std::string& logPath);
    // The lines reported since the last call.
    std::vector<std::wstring> TakeLines();
    // After kRunDoneMessage: waits for the worker to return and gives the run's report.
    torvexupdate::UpdateReport Finish();

private:
    void Join();
    void AddLine(HWND window, const std::wstring& line);

    std::thread worker_;
    std::mutex mutex_;  // guards lines_ and report_
    std::vector<std::wstring> lines_;
    torvexupdate::UpdateReport report_;
};

}  // namespace torvexgui
