#include "module_loader.h"

#include <cstring>
#include <filesystem>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace torvexctl {

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "\\/";
constexpr char kSeparator = '\\';

std::string LastErrorText()
{
    DWORD code = GetLastError();
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                      | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr)
        LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message + " (error " + std::to_string(code) + ")";
}

void* OpenLibrary(const std::string& path, std::string* error)
{
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr)
        *error = LastErrorText();
    return reinterpret_cast<void*>(handle);
}

void* FindSymbol(void* handle, const char* name)
{
    FARPROC entry = GetProcAddress(static_cast<HMODULE>(handle), name);
    void* address = nullptr;
    static_assert(sizeof entry == sizeof address, "function and object pointers differ");
    std::memcpy(&address, &entry, sizeof address);
    return address;
}

void CloseLibrary(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
constexpr const char* kSeparators = "/";
constexpr char kSeparator = '/';

void* OpenLibrary(const std::string& path, std::string* error)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        *error = text != nullptr ? text : "unknown loader error";
    }
    return handle;
}

void* FindSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}

void CloseLibrary(void* handle)
{
    dlclose(handle);
}
#endif

// Casts an export's address to the type the public header declares for it.
template <typename Function>
bool Resolve(void* handle, const char* name, Function* function, std::string* missing)
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

std::string ProgramFolder()
{
#if defined(_WIN32)
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size())
            return FolderOf(std::string(path.data(), length));
        path.resize(path.size() * 2);
    }
#else
    std::error_code error;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : self.parent_path().string();
#endif
}

std::string FolderOf(const std::string& path)
{
    std::size_t separator = path.find_last_of(kSeparators);
    if (separator == std::string::npos)
        return "";
    return separator == 0 ? path.substr(0, 1) : path.substr(0, separator);
}

std::string FileNameOf(const std::string& path)
{
    std::size_t separator = path.find_last_of(kSeparators);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (std::strchr(kSeparators, folder.back()) != nullptr)
        return folder + name;
    return folder + kSeparator + name;
}

bool HasModuleFileName(const std::string& path)
{
    std::string name = FileNameOf(path);
#if defined(_WIN32)
    // Windows finds modules by name without regard to case.
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
#endif
    return name == "torvex.dll";
}

Module::~Module()
{
    Unload();
}

bool Module::Load(const std::string& path, std::string* error)
{
    Unload();
    // An absolute path: the module finds its own folder from the path it was loaded by.
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    path_ = absolute.empty() ? path : absolute.string();

    std::error_code status;
    if (!std::filesystem::exists(path_, status)) {
        *error = "cannot load " + path_ + ": no such file";
        return false;
    }
    std::string loaderError;
    handle_ = OpenLibrary(path_, &loaderError);
    if (handle_ == nullptr) {
        *error = "cannot load " + path_ + ": " + loaderError;
        return false;
    }

    std::string missing;
    bool complete = Resolve(handle_, "_Init_Module_COM", &init, &missing);
    complete = Resolve(handle_, "_TelechargeComposant_COM", &download, &missing) && complete;
    complete = Resolve(handle_, "_GetVersionComposant_COM", &version, &missing) && complete;
    complete = Resolve(handle_, "_GetReferenceBoard_COM", &reference, &missing) && complete;
    complete = Resolve(handle_, "_Clean_ZR_COM", &clean, &missing) && complete;
    if (!complete) {
        *error = path_ + " is not a usable torvex module: export(s) missing: " + missing;
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
    init = nullptr;
    download = nullptr;
    version = nullptr;
    reference = nullptr;
    clean = nullptr;
}

std::string Module::ModuleFolder() const
{
    return HasModuleFileName(path_) ? FolderOf(path_) : ProgramFolder();
}

}  // namespace torvexctl
