// One run of the module in this process: load it, initialise it, explain a failed
// initialisation, and at the end unload it, warn when its log stayed unwritten and show
// the lines the run added to Torvex.log when asked.
#pragma once

#include "commands.h"
#include "init_diagnosis.h"
#include "log_tail.h"
#include "module_loader.h"
#include "output.h"

#include <functional>
#include <optional>
#include <string>

namespace torvexctl {

class ModuleRun {
public:
    ModuleRun(const Options& options, Output& out);

    Module& Get() { return module_; }
    // Where the module reads torvex.ini and writes Torvex.log (and the history lies by default).
    const std::string& ModuleFolder() const { return setting_.folder; }

    // Loads and initialises the module: kExitSuccess or the exit status of the failure.
    int Start();
    void Finish();

    // The lines this run added to the log so far (empty when none could be written).
    std::vector<std::string> LogLines() const;
    // Warns once when this run's log lines could not be written; true when it warned.
    bool WarnWhenLogUnwritten();

private:
    const Options& options_;
    Output& out_;
    ModuleSetting setting_;
    Module module_;
    std::optional<LogTail> log_;
    bool initCalled_ = false;
    bool warned_ = false;
};

// Loads and initialises the module, runs `body` with it, then finishes the run.
int WithModule(const Options& options, Output& out, const std::function<int(ModuleRun&)>& body);

}  // namespace torvexctl
