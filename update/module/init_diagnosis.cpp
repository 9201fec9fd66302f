#include "module/init_diagnosis.h"

#include "module/module_loader.h"
#include "system/paths.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace torvexupdate {

namespace {

// The module's fixed buffers: its own path is taken with room for 254 characters, and
// the log path (folder plus "Torvex.log") must stay under 255.
constexpr std::size_t kLongestModulePath = 254;
constexpr std::size_t kLongestLogPath = 254;
const char kLibraryFile[] = "quelvane.dll";

std::string Quote(const std::string& text)
{
    return "\"" + text + "\"";
}

bool SameLetter(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

bool IsRelative(const std::string& value)
{
    return !value.empty() && value.find(':') == std::string::npos && value[0] != '\\' && value[0] != '/';
}

// The library path as the module builds it from the INI value and its own drive.
std::string LibraryPathFor(const std::string& value, const std::string& narrowModulePath)
{
    std::string path = value + "\\" + kLibraryFile;
    if (value.find(':') != std::string::npos)
        path[0] = narrowModulePath.size() > 1 && narrowModulePath[1] == ':' ? narrowModulePath[0] : '\0';
    return path;
}

std::string ProbeCause(const std::string& libraryPath)
{
    LoadProbe probe = ProbeLibrary(SystemPathOfModulePath(AnsiToUtf8(libraryPath)));
    std::string cause = "the communication library could not be loaded from " + Quote(AnsiToUtf8(libraryPath));
    switch (probe.failure) {
    case LoadFailure::kNone:
        return cause + " (it loads when torvexctl tries it now)";
    case LoadFailure::kNotFound:
        return cause + ": not found (" + probe.error + ")";
    case LoadFailure::kWrongArchitecture:
        return cause + ": wrong architecture, it is not a 32-bit library like the module (" + probe.error + ")";
    case LoadFailure::kAccessDenied:
        return cause + ": access denied (" + probe.error + ")";
    case LoadFailure::kOther:
        break;
    }
    return cause + ": " + probe.error;
}

}  // namespace

std::string LogWriteProblem(const ModuleSetting& setting)
{
    if (setting.narrowPath.empty())
        return "the module's path " + Quote(setting.modulePath)
            + " cannot be given in the ANSI code page, so the module cannot find its own folder";
    if (setting.narrowPath.size() > kLongestModulePath)
        return "the module's path is " + std::to_string(setting.narrowPath.size()) + " characters long, more than the "
            + std::to_string(kLongestModulePath)
            + " it can hold, so it cannot find its own folder "
              "(it writes no Torvex.log and reads no torvex.ini there): move it to a shorter path";
    std::size_t narrowLogLength = setting.narrowPath.size() - FileNameOf(setting.narrowPath).size() + 10;
    if (narrowLogLength > kLongestLogPath)
        return "the log's path would be " + std::to_string(narrowLogLength) + " characters long, more than the "
            + std::to_string(kLongestLogPath) + " the module can hold: move the module to a shorter path";

    std::string log = JoinPath(setting.folder, "Torvex.log");
    std::error_code error;
    if (!std::filesystem::is_directory(FsPath(setting.folder), error))
        return "the folder " + Quote(setting.folder) + " does not exist";
    if (std::filesystem::is_directory(FsPath(log), error))
        return Quote(log) + " is a folder, not a file";
    bool existed = std::filesystem::exists(FsPath(log), error);
    std::FILE* file = OpenFile(log, "ab");
    if (file == nullptr) {
        int code = errno;
        if (code == EACCES || code == EPERM || code == EROFS)
            return "access denied: the folder " + Quote(setting.folder)
                + (existed ? " or the file Torvex.log in it" : "") + " is read-only (" + std::strerror(code) + ")";
        return Quote(log) + " cannot be opened for writing (" + std::strerror(code) + ")";
    }
    std::fclose(file);
    if (!existed)
        std::filesystem::remove(FsPath(log), error);
    return std::string();
}

std::vector<std::string> InitFailureCauses(const ModuleSetting& setting, const std::vector<std::string>& log)
{
    static const std::string kLibraryPathLine = "Path Quelvane : ";
    std::vector<std::string> causes;
    std::string iniPath = JoinPath(setting.folder, "torvex.ini");
    std::string value;
    std::error_code missing;
    bool iniFound = std::filesystem::is_regular_file(FsPath(iniPath), missing);
    if (iniFound)
        value = ReadLibraryFolderSetting(iniPath);

    if (log.empty()) {
        std::string problem = LogWriteProblem(setting);
        causes.push_back("the module wrote no log" + (problem.empty() ? std::string() : ": " + problem));
        if (setting.narrowPath.empty() || setting.narrowPath.size() > kLongestModulePath)
            return causes;  // without its folder the module went no further
    }
    if (!iniFound)
        causes.push_back(iniPath + " does not exist");
    else if (value.empty())
        causes.push_back("QuelvanePath in [TorvexPath] of " + iniPath + " is missing or empty");

    std::string libraryPath;
    bool loadFailed = false;
    bool sawLibraryLine = false;
    for (const std::string& line : log) {
        if (line.compare(0, kLibraryPathLine.size(), kLibraryPathLine) == 0) {
            libraryPath = line.substr(kLibraryPathLine.size());
            sawLibraryLine = true;
        } else if (line == "Status = 0") {
            loadFailed = true;
        } else if (line.compare(0, 19, "WARNING VCI OCCUPED") == 0) {
            causes.push_back("another program holds a session on the interface: close it and retry");
        } else if (line == "_CreateRouter KO") {
            causes.push_back("the communication library could not create its router");
        } else if (line.compare(0, 20, "_OpenCommSession NOK") == 0) {
            causes.push_back("no communication session could be opened (" + line + ")");
        } else if (line.compare(0, 25, "_InitialiseCommBoard_Exp ") == 0) {
            causes.push_back("board initialisation reported: " + line);
        }
    }
    if (!sawLibraryLine && iniFound) {
        // No log: the module built the path by the same rule.
        libraryPath = LibraryPathFor(value, setting.narrowPath);
        loadFailed = causes.empty() || log.empty();
    }
    if (!loadFailed)
        return causes;

    causes.push_back(ProbeCause(libraryPath));
    if (value.find(':') != std::string::npos && !libraryPath.empty() && !SameLetter(value[0], libraryPath[0]))
        causes.push_back("the drive-letter rule applied: QuelvanePath " + Quote(value)
                         + " holds a colon, so the module put its own drive letter in front and tried "
                         + Quote(AnsiToUtf8(libraryPath))
                         + "; keep the library on the module's drive, or give a "
                           "path without a drive letter");
    std::error_code ignored;
    if (IsRelative(value))
        causes.push_back("QuelvanePath " + Quote(value) + " is a relative folder: the system looks for "
                         + Quote(AnsiToUtf8(libraryPath)) + " from the program's folder (" + setting.programFolder
                         + "), then in the system's folders and PATH, not from the module's folder nor from the "
                           "current directory ("
                         + Utf8Of(std::filesystem::current_path(ignored)) + "); give a full path");
    return causes;
}

}  // namespace torvexupdate
