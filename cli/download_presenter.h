// What torvexctl says while one download runs: the engine's events as they come (the
// manifest, the history's warnings, the board before, progress, retries), then the
// result, what the board carries and the exit status.
#pragma once

#include "commands.h"
#include "engine/update_engine.h"
#include "exit_codes.h"
#include "module_run.h"
#include "output.h"

#include <cstddef>
#include <functional>
#include <string>

namespace torvexctl {

class DownloadPresenter {
public:
    DownloadPresenter(const Options& options, Output& out, ModuleRun& run);
    DownloadPresenter(const DownloadPresenter&) = delete;
    DownloadPresenter& operator=(const DownloadPresenter&) = delete;

    // The engine's events, each one of the methods below (the presenter outlives the run).
    torvexupdate::UpdateEvents Events();

    bool OpenBoard(torvexupdate::BoardCalls* calls);
    void ManifestChecked(const torvexupdate::ManifestVerdict& verdict);
    void AccountRead(const torvexupdate::BoardAccount& account);
    void BoardRead(const torvexupdate::BoardContent& before, bool same, const std::string& writeAgainBecause);
    void Writing();
    int RunDownload(const std::function<int()>& download, double* seconds);
    void Retrying(int number, int total, int previous);

    // After RunUpdate: what happened, in words; the exit status.
    int Finish(const torvexupdate::UpdateFile& file, const torvexupdate::UpdateReport& report);

private:
    const Options& options_;
    Output& out_;
    ModuleRun& run_;
    bool started_ = false;  // the board was opened (the module loaded)
    int startCode_ = kExitSuccess;
    // The engine's verdict, which the board's side completes during the same RunUpdate call.
    const torvexupdate::ManifestVerdict* manifest_ = nullptr;
    std::size_t manifestNotes_ = 0;       // its notes said so far
    torvexupdate::BoardAccount account_;  // before the update
};

}  // namespace torvexctl
