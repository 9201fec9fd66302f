// A copy of the module in a folder of its own, with a communication library (the
// simulator or one of its variants) in lib/ beside it and a torvex.ini pointing there:
// what a host installs. Loading the copy gives fresh process-wide state. No test
// framework here: the tests, the hardening rows and the benchmarks all use it.
#pragma once

#include "update/module/module_exports.h"

#include <string>
#include <vector>

namespace host {

// The five exports, typed by the public header; null where the module lacks one. The
// host programs' own list (update/module/module_exports.h), used here as a header only.
using Exports = torvexupdate::ModuleExports;
Exports TypedExports(void* module);  // from a loaded library

// The build's own files: the module, the simulator and its variants by name ("" for the
// simulator itself).
std::string BuiltModuleFile();
std::string SimulatorFile(const std::string& variant = "");

class ModuleCopy {
public:
    // Empties `folder` and installs `moduleFile` and `libraryFile` there.
    ModuleCopy(const std::string& folder, const std::string& moduleFile, const std::string& libraryFile);
    ~ModuleCopy();  // unloads the copy and removes the folder
    ModuleCopy(const ModuleCopy&) = delete;
    ModuleCopy& operator=(const ModuleCopy&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string SimFolder() const;
    std::string ModuleFile() const;
    std::string LogFile() const;

    void WriteIni(const std::string& text);  // replaces torvex.ini
    void RemoveIni();
    void WriteSimConfig(const std::string& text);  // lib/quelvane-sim.ini
    std::string Log() const;                       // the bytes of Torvex.log
    void ClearLog();
    std::vector<std::string> Journal() const;  // lines of the simulator's journal
    void ClearJournal();
    void ClearTraces();  // log and journal, which grow with every call

    bool Load();  // false when the copy cannot be loaded; true when already loaded
    void Unload();
    bool Loaded() const { return module_ != nullptr; }
    void* Export(const char* name) const;
    const Exports& Calls() const { return exports_; }  // all null while not loaded

private:
    std::string folder_;
    void* module_ = nullptr;
    Exports exports_;
};

}  // namespace host
