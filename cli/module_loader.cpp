#include "module_loader.h"

#include "paths.h"

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

using namespace torvexupdate;  // paths and text, shared with the update engine

namespace {

#if defined(_WIN32)
constexpr const char* kSeparators = "\\/";
constexpr char kSeparator = '\\';

std::string ErrorText(DWORD code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                      | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? AnsiToUtf8(std::string(text, length)) : std::string();
    if (text != nullptr)
        LocalFree(text);
    std::size_t insert = message.find("%1");
    if (insert != std::string::npos)
        message.replace(insert, 2, "the file");
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message + " (error " + std::to_string(code) + ")";
}

void* OpenLibrary(const std::string& path, std::string* error, LoadFailure* kind = nullptr)
{
    HMODULE handle = LoadLibraryW(FsPath(path).c_str());
    if (handle == nullptr) {
        DWORD code = GetLastError();
        *error = ErrorText(code);
        if (kind != nullptr) {
            switch (code) {
            case ERROR_MOD_NOT_FOUND:
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
                *kind = LoadFailure::kNotFound;
                break;
            case ERROR_BAD_EXE_FORMAT:
                *kind = LoadFailure::kWrongArchitecture;
                break;
            case ERROR_ACCESS_DENIED:
                *kind = LoadFailure::kAccessDenied;
                break;
            default:
                *kind = LoadFailure::kOther;
            }
        }
    }
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

void* OpenLibrary(const std::string& path, std::string* error, LoadFailure* kind = nullptr)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        *error = text != nullptr ? text : "unknown loader error";
        if (kind != nullptr) {
            // The loader gives text only: sort it by the words glibc uses.
            if (error->find("No such file") != std::string::npos)
                *kind = LoadFailure::kNotFound;
            else if (error->find("wrong ELF class") != std::string::npos)
                *kind = LoadFailure::kWrongArchitecture;
            else if (error->find("Permission denied") != std::string::npos)
                *kind = LoadFailure::kAccessDenied;
            else
                *kind = LoadFailure::kOther;
        }
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

std::string ProgramFolder()
{
#if defined(_WIN32)
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size())
            return FolderOf(Utf8Of(std::filesystem::path(std::wstring(path.data(), length))));
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

LoadProbe ProbeLibrary(const std::string& path)
{
    LoadProbe probe;
    void* handle = OpenLibrary(path, &probe.error, &probe.failure);
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
        *error = "cannot load " + path_ + ": no such file";
        return false;
    }
    std::string loaderError;
    handle_ = OpenLibrary(loadAs.empty() ? path_ : loadAs, &loaderError);
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
