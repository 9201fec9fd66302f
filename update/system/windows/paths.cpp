// Windows: paths and arguments in UTF-16 at the system's edge, the module's paths in the
// ANSI code page (or by their short names).
#include "system/paths.h"
#include "system/host_platform.h"
#include "system/windows/utf16.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

namespace torvexupdate {

extern const char kPathSeparators[] = "\\/";
extern const bool kFileNamesIgnoreCase = true;

std::string SystemPathOfModulePath(const std::string& modulePath)
{
    return modulePath;
}

long long FileTell(std::FILE* file)
{
    return _ftelli64(file);
}

std::wstring Wide(const std::string& text, unsigned codePage)
{
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& wide, unsigned codePage, bool* lossy)
{
    if (lossy != nullptr)
        *lossy = false;
    if (wide.empty())
        return std::string();
    // The code page gets no best-fit substitutes ("e" for "ė"): such a path would name
    // another file. UTF-8 takes neither flag.
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                     usedDefaultOut);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), narrow.data(), length, nullptr,
                            usedDefaultOut);
    if (lossy != nullptr)
        *lossy = length <= 0 || usedDefault != FALSE;
    return narrow;
}

std::vector<std::string> Utf8Arguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    if (wide == nullptr || count != argc) {
        for (int i = 0; i < argc; ++i)
            arguments.push_back(AnsiToUtf8(argv[i]));
    } else {
        for (int i = 0; i < count; ++i)
            arguments.push_back(Narrow(wide[i]));
    }
    if (wide != nullptr)
        LocalFree(wide);
    return arguments;
}

std::filesystem::path FsPath(const std::string& utf8)
{
    return std::filesystem::path(Wide(utf8));
}

std::string Utf8Of(const std::filesystem::path& path)
{
    return Narrow(path.wstring());
}

std::FILE* OpenFile(const std::string& utf8, const char* mode)
{
    return _wfopen(Wide(utf8).c_str(), Wide(mode).c_str());
}

NarrowPath ForModule(const std::string& utf8)
{
    NarrowPath result;
    std::wstring wide = Wide(utf8);
    bool lossy = false;
    std::string ansi = Narrow(wide, CP_ACP, &lossy);
    if (!lossy) {
        result.usable = true;
        result.bytes = ansi;
        return result;
    }
    DWORD length = GetShortPathNameW(wide.c_str(), nullptr, 0);
    std::wstring shortPath(length, L'\0');
    if (length != 0)
        length = GetShortPathNameW(wide.c_str(), shortPath.data(), length);
    if (length == 0) {
        result.problem = NarrowProblem::kNoShortName;
        result.codePage = GetACP();
        return result;
    }
    shortPath.resize(length);
    std::string shortAnsi = Narrow(shortPath, CP_ACP, &lossy);
    if (lossy) {
        result.problem = NarrowProblem::kShortNameToo;
        result.codePage = GetACP();
        return result;
    }
    result.usable = true;
    result.shortName = true;
    result.bytes = shortAnsi;
    return result;
}

std::string AnsiToUtf8(const std::string& bytes)
{
    return Narrow(Wide(bytes, CP_ACP));
}

}  // namespace torvexupdate
