#include "host/module_copy.h"

#include "host/files.h"
#include "host/library_file.h"
#include "host_paths.h"

#include <filesystem>

namespace host {

Exports TypedExports(void* module)
{
    Exports exports;
#define TORVEX_TYPED_EXPORT(member, name) \
    exports.member = reinterpret_cast<decltype(exports.member)>(FindExport(module, #name));
    TORVEX_EXPORTS(TORVEX_TYPED_EXPORT)
#undef TORVEX_TYPED_EXPORT
    return exports;
}

std::string BuiltModuleFile()
{
    return TORVEX_HOST_MODULE_FILE;
}

std::string SimulatorFile(const std::string& variant)
{
    if (variant.empty())
        return TORVEX_HOST_SIM_FILE;
    return JoinPath(JoinPath(TORVEX_HOST_SIM_VARIANTS_DIR, variant), "quelvane.dll");
}

ModuleCopy::ModuleCopy(const std::string& folder, const std::string& moduleFile, const std::string& libraryFile)
        : folder_(folder)
{
    RemoveTree(folder_);
    std::filesystem::create_directories(SimFolder());
    CopyFile(moduleFile, ModuleFile());
    CopyFile(libraryFile, JoinPath(SimFolder(), "quelvane.dll"));
    WriteIni("[TorvexPath]\nQuelvanePath=" + SimFolder() + "\n");
}

ModuleCopy::~ModuleCopy()
{
    Unload();
    RemoveTree(folder_);
}

std::string ModuleCopy::SimFolder() const
{
    return JoinPath(folder_, "lib");
}

std::string ModuleCopy::ModuleFile() const
{
    return JoinPath(folder_, "torvex.dll");
}

std::string ModuleCopy::LogFile() const
{
    return JoinPath(folder_, "Torvex.log");
}

void ModuleCopy::WriteIni(const std::string& text)
{
    WriteFile(JoinPath(folder_, "torvex.ini"), text);
}

void ModuleCopy::RemoveIni()
{
    std::error_code error;
    std::filesystem::remove(JoinPath(folder_, "torvex.ini"), error);
}

void ModuleCopy::WriteSimConfig(const std::string& text)
{
    WriteFile(JoinPath(SimFolder(), "quelvane-sim.ini"), text);
}

std::string ModuleCopy::Log() const
{
    return ReadFile(LogFile());
}

void ModuleCopy::ClearLog()
{
    std::error_code error;
    std::filesystem::remove(LogFile(), error);
}

std::vector<std::string> ModuleCopy::Journal() const
{
    return SplitLines(ReadFile(JoinPath(SimFolder(), "quelvane-sim.journal")));
}

void ModuleCopy::ClearJournal()
{
    std::error_code error;
    std::filesystem::remove(JoinPath(SimFolder(), "quelvane-sim.journal"), error);
}

void ModuleCopy::ClearTraces()
{
    ClearLog();
    ClearJournal();
}

bool ModuleCopy::Load()
{
    if (module_ == nullptr) {
        module_ = LoadLibraryFile(ModuleFile());
        if (module_ != nullptr)
            exports_ = TypedExports(module_);
    }
    return module_ != nullptr;
}

void ModuleCopy::Unload()
{
    UnloadLibraryFile(module_);
    module_ = nullptr;
    exports_ = Exports();
}

void* ModuleCopy::Export(const char* name) const
{
    return module_ != nullptr ? FindExport(module_, name) : nullptr;
}

}  // namespace host
