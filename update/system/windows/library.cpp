// Windows: the system's loader, with its error texts.
#include "system/paths.h"
#include "system/host_platform.h"

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <vector>

namespace torvexupdate {

namespace {

LoaderError ErrorText(DWORD code)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                      | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length != 0 && text != nullptr ? AnsiToUtf8(std::string(text, length)) : std::string();
    if (text != nullptr)
        LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return LoaderError{message, code};
}

}  // namespace

std::string ProgramFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return ".";
        if (length < path.size())
            return FolderOf(Utf8Of(std::filesystem::path(std::wstring(path.data(), length))));
        path.resize(path.size() * 2);
    }
}

void* OpenLibrary(const std::string& path, LoaderError* error, LoadFailure* kind)
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

void* FindSymbol(void* library, const char* name)
{
    FARPROC entry = GetProcAddress(static_cast<HMODULE>(library), name);
    void* address = nullptr;
    static_assert(sizeof entry == sizeof address, "function and object pointers differ");
    std::memcpy(&address, &entry, sizeof address);
    return address;
}

void CloseLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

void KeepCurrentFolderOutOfLibrarySearch()
{
    // SetDllDirectoryW(L"") takes the current folder out on Windows. Wine (8.0) takes an
    // empty string for "reset" and keeps searching it, but honours a folder, which then
    // stands in the current folder's place: the program's own folder, searched first anyway.
    SetDllDirectoryW(L"");
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    std::wstring folder(path.data(), length);
    std::size_t separator = folder.find_last_of(L"\\/");
    if (length != 0 && separator != std::wstring::npos)
        SetDllDirectoryW(folder.substr(0, separator + 1).c_str());  // with its separator: "C:" is a current folder
}
}  // namespace torvexupdate
