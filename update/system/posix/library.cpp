// Other systems: the dynamic loader; its failures come as text only.
#include "system/host_platform.h"

#include <dlfcn.h>

#include <filesystem>

namespace torvexupdate {

std::string ProgramFolder()
{
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
}

void* OpenLibrary(const std::string& path, LoaderError* error, LoadFailure* kind)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        *error = LoaderError{text != nullptr ? text : "unknown loader error", 0};
        if (kind != nullptr) {
            // The loader gives text only: sort it by the words glibc uses.
            const std::string& said = error->text;
            if (said.find("No such file") != std::string::npos)
                *kind = LoadFailure::kNotFound;
            else if (said.find("wrong ELF class") != std::string::npos)
                *kind = LoadFailure::kWrongArchitecture;
            else if (said.find("Permission denied") != std::string::npos)
                *kind = LoadFailure::kAccessDenied;
            else
                *kind = LoadFailure::kOther;
        }
    }
    return handle;
}

void* FindSymbol(void* library, const char* name)
{
    return dlsym(library, name);
}

void CloseLibrary(void* library)
{
    dlclose(library);
}

void KeepCurrentFolderOutOfLibrarySearch() { }
}  // namespace torvexupdate
