// One opening of the module, the same for every host: the module's path, where it keeps
// torvex.ini and Torvex.log, the narrow-character path it is handed, loading, initialising
// and, when initialisation fails, the causes in words. The host says what it likes of it.
#pragma once

#include "module/init_diagnosis.h"
#include "module/log_tail.h"
#include "module/module_loader.h"
#include "system/paths.h"

#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

class ModuleSession {
public:
    // The module at `modulePath` (UTF-8; "" for torvex.dll beside the program). Nothing is
    // loaded yet.
    explicit ModuleSession(const std::string& modulePath);

    const ModuleSetting& Setting() const { return setting_; }
    // How the module's path is handed to it: the module finds itself, torvex.ini and its log
    // through the narrow-character path it was loaded by (its short name when the ANSI code
    // page cannot hold the path).
    const NarrowPath& Narrow() const { return narrow_; }
    // The name the module is loaded by ("" for its path as given).
    std::string LoadName() const;
    std::string LogPath() const { return JoinPath(setting_.folder, "Torvex.log"); }

    // Notes the log's size and loads the module: false with `error` for the user.
    bool Load(std::string* error);
    // Calls _Init_Module_COM once the module is loaded; its result.
    int Init();
    bool InitCalled() const { return initCalled_; }
    // Why initialisation failed, one sentence each.
    std::vector<std::string> InitFailureCauses() const;

    // The lines this run added to the log so far (empty before Load or when none were written).
    std::vector<std::string> LogLines(bool* restarted = nullptr) const;

    const ModuleExports& Calls() const { return module_.Calls(); }
    void Unload() { module_.Unload(); }

private:
    ModuleSetting setting_;
    NarrowPath narrow_;
    Module module_;
    std::optional<LogTail> log_;
    bool initCalled_ = false;
};

}  // namespace torvexupdate
