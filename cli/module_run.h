// One run of the module in torvexctl: the update library's module session, with what
// torvexctl says about it: notes before loading, the failure messages and exit statuses,
// the warning when the log stayed unwritten and the lines the run added to Torvex.log.
#pragma once

#include "module/board_lock.h"
#include "commands.h"
#include "module/module_session.h"
#include "output.h"

#include <functional>
#include <string>

namespace torvexctl {

class ModuleRun {
public:
    ModuleRun(const Options& options, Output& out);

    const torvexupdate::ModuleExports& Get() const { return session_.Calls(); }
    // Where the module reads torvex.ini and writes Torvex.log (and the history lies by default).
    const std::string& ModuleFolder() const { return session_.Setting().folder; }

    // Takes the board interface for this run (Start takes it first): false, with the holder
    // named in an error, when another torvexctl or torvexgui holds it. `updateId`: the
    // update this run makes, for the lock's words ("" for none).
    bool Lock(const std::string& updateId = std::string());
    // Loads and initialises the module: kExitSuccess or the exit status of the failure.
    int Start();
    void Finish();

    // The lines this run added to the log so far (empty when none could be written).
    std::vector<std::string> LogLines() const { return session_.LogLines(); }
    // Warns once when this run's log lines could not be written; true when it warned.
    bool WarnWhenLogUnwritten();

private:
    const Options& options_;
    Output& out_;
    torvexupdate::ModuleSession session_;
    torvexupdate::BoardLock lock_;
    bool warned_ = false;
};

// Loads and initialises the module, runs `body` with it, then finishes the run.
int WithModule(const Options& options, Output& out, const std::function<int(ModuleRun&)>& body);

}  // namespace torvexctl
