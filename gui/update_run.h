// One update on a worker thread, so that the window keeps answering while the board is
// written. The window hears of the run through messages posted to it.
#pragma once

#include "update_engine.h"

#include <windows.h>

#include <string>
#include <thread>

namespace torvexgui {

// lParam: a std::wstring* the receiver deletes: one line for the run's log list.
constexpr UINT kRunLogLineMessage = WM_APP + 1;
// lParam: a torvexupdate::UpdateReport* the receiver deletes: the run has ended.
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
    // Waits for the worker (after kRunDoneMessage it has ended or is about to).
    void Join();

private:
    std::thread worker_;
};

}  // namespace torvexgui
