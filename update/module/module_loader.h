// Reaches torvex.dll through its five exports only, as any host program does: loads the
// file, resolves the exports by name and unloads it again.
#pragma once

#include "module/module_exports.h"
#include "system/host_platform.h"

#include <string>

namespace torvexupdate {

// Loads a library the way the module does (a relative path by the system's search rules,
// from this process) and unloads it again: why a library cannot be loaded.
struct LoadProbe {
    bool loaded = false;
    LoadFailure failure = LoadFailure::kNone;
    std::string error;  // the system's text and code
};
LoadProbe ProbeLibrary(const std::string& path);

// The system's words on a library that did not load, in one line of the current language.
std::string LoaderErrorWords(const LoaderError& error);

class Module {
public:
    Module() = default;
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // Loads the file and resolves the five exports. False with `error` set to a message
    // for the user when the file cannot be loaded or an export is missing. `loadAs`, when
    // not empty, is another name of the same file to load it by (its short name).
    bool Load(const std::string& path, const std::string& loadAs, std::string* error);
    void Unload();

    const std::string& Path() const { return path_; }
    // The exports, all null while nothing is loaded.
    const ModuleExports& Calls() const { return exports_; }

private:
    void* handle_ = nullptr;
    std::string path_;
    ModuleExports exports_;
};

}  // namespace torvexupdate
