#include "module/module_loader.h"

#include "system/paths.h"
#include "words/messages.h"

#include <cstring>
#include <filesystem>

namespace torvexupdate {

namespace {

// Casts an export's address to the type the public header declares for it.
template <typename Function> bool Resolve(void* handle, const char* name, Function* function, std::string* missing)
{
    void* address = FindSymbol(handle, name);
    if (address == nullptr) {
        if (!missing->empty())
            *missing += ", ";
        *missing += name;
        return false;
    }
    static_assert(sizeof *function == sizeof address, "function and object pointers differ");
    std::memcpy(function, &address, sizeof address);
    return true;
}

}  // namespace

std::string LoaderErrorWords(const LoaderError& error)
{
    std::string text = error.text;
    std::size_t insert = text.find("%1");
    if (insert != std::string::npos)
        text.replace(insert, 2, Say(Message::kLoaderTheFile));
    return error.code == 0 ? text
                           : Say(Message::kLoaderErrorCode, {{"text", text}, {"code", std::to_string(error.code)}});
}

Module::~Module()
{
    Unload();
}

LoadProbe ProbeLibrary(const std::string& path)
{
    LoadProbe probe;
    LoaderError error;
    void* handle = OpenLibrary(path, &error, &probe.failure);
    if (handle == nullptr)
        probe.error = LoaderErrorWords(error);
    probe.loaded = handle != nullptr;
    if (handle != nullptr)
        CloseLibrary(handle);
    return probe;
}

bool Module::Load(const std::string& path, const std::string& loadAs, std::string* error)
{
    Unload();
    path_ = AbsolutePath(path);

    std::error_code status;
    if (!std::filesystem::exists(FsPath(path_), status)) {
        *error = Say(Message::kModuleFileMissing, {{"path", path_}});
        return false;
    }
    LoaderError loaderError;
    handle_ = OpenLibrary(loadAs.empty() ? path_ : loadAs, &loaderError);
    if (handle_ == nullptr) {
        *error = Say(Message::kModuleNotLoadable, {{"path", path_}, {"error", LoaderErrorWords(loaderError)}});
        return false;
    }

    std::string missing;
    bool complete = true;
#define TORVEX_RESOLVE_EXPORT(member, name) complete = Resolve(handle_, #name, &exports_.member, &missing) && complete;
    TORVEX_EXPORTS(TORVEX_RESOLVE_EXPORT)
#undef TORVEX_RESOLVE_EXPORT
    if (!complete) {
        *error = Say(Message::kModuleExportsMissing, {{"path", path_}, {"missing", missing}});
        Unload();
        return false;
    }
    return true;
}

void Module::Unload()
{
    if (handle_ != nullptr)
        CloseLibrary(handle_);
    handle_ = nullptr;
    exports_ = ModuleExports();
}

}  // namespace torvexupdate
