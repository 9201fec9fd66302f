// Reaches torvex.dll through its five exports only, as any host program does: loads the
// file, resolves the exports by name and unloads it again.
#pragma once

#include "board_calls.h"
#include "torvex.h"

#include <string>

namespace torvexctl {

// Folder of the running program (ends without a separator). Paths here are UTF-8.
std::string ProgramFolder();

// Folder part of a path ("" when it has none) and its last component.
std::string FolderOf(const std::string& path);
std::string FileNameOf(const std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);

// The module looks itself up by the file name "torvex.dll": a module file named otherwise
// takes its torvex.ini and Torvex.log from the program's folder instead of its own.
bool HasModuleFileName(const std::string& path);

enum class LoadFailure { kNone, kNotFound, kWrongArchitecture, kAccessDenied, kOther };

// Loads a library the way the module does (a relative path by the system's search rules,
// from this process) and unloads it again: why a library cannot be loaded.
struct LoadProbe {
    bool loaded = false;
    LoadFailure failure = LoadFailure::kNone;
    std::string error;  // the system's text and code
};
LoadProbe ProbeLibrary(const std::string& path);

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
    // Where the module writes Torvex.log and reads torvex.ini.
    std::string ModuleFolder() const;

    // The exports the update engine and the board queries use.
    torvexupdate::BoardCalls Calls() const { return {download, version, reference}; }

    decltype(&_Init_Module_COM) init = nullptr;
    decltype(&_TelechargeComposant_COM) download = nullptr;
    decltype(&_GetVersionComposant_COM) version = nullptr;
    decltype(&_GetReferenceBoard_COM) reference = nullptr;
    decltype(&_Clean_ZR_COM) clean = nullptr;

private:
    void* handle_ = nullptr;
    std::string path_;
};

}  // namespace torvexctl
