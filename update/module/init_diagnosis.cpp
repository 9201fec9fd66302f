#include "module/init_diagnosis.h"

#include "module/module_loader.h"
#include "system/paths.h"
#include "words/messages.h"

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
    Message message = Message::kInitLibraryNotLoaded;
    switch (probe.failure) {
    case LoadFailure::kNone:
        message = Message::kInitLibraryLoadsNow;
        break;
    case LoadFailure::kNotFound:
        message = Message::kInitLibraryNotFound;
        break;
    case LoadFailure::kWrongArchitecture:
        message = Message::kInitLibraryWrongArchitecture;
        break;
    case LoadFailure::kAccessDenied:
        message = Message::kInitLibraryAccessDenied;
        break;
    case LoadFailure::kOther:
        break;
    }
    return Say(message, {{"path", AnsiToUtf8(libraryPath)}, {"error", probe.error}});
}

}  // namespace

std::string LogWriteProblem(const ModuleSetting& setting)
{
    if (setting.narrowPath.empty())
        return Say(Message::kLogModulePathAnsi, {{"path", setting.modulePath}});
    if (setting.narrowPath.size() > kLongestModulePath)
        return Say(
            Message::kLogModulePathTooLong,
            {{"length", std::to_string(setting.narrowPath.size())}, {"limit", std::to_string(kLongestModulePath)}});
    std::size_t narrowLogLength = setting.narrowPath.size() - FileNameOf(setting.narrowPath).size() + 10;
    if (narrowLogLength > kLongestLogPath)
        return Say(Message::kLogPathTooLong,
                   {{"length", std::to_string(narrowLogLength)}, {"limit", std::to_string(kLongestLogPath)}});

    std::string log = JoinPath(setting.folder, "Torvex.log");
    std::error_code error;
    if (!std::filesystem::is_directory(FsPath(setting.folder), error))
        return Say(Message::kLogFolderMissing, {{"folder", setting.folder}});
    if (std::filesystem::is_directory(FsPath(log), error))
        return Say(Message::kLogIsFolder, {{"log", log}});
    bool existed = std::filesystem::exists(FsPath(log), error);
    std::FILE* file = OpenFile(log, "ab");
    if (file == nullptr) {
        int code = errno;
        if (code == EACCES || code == EPERM || code == EROFS)
            return Say(existed ? Message::kLogFolderOrLogReadOnly : Message::kLogFolderReadOnly,
                       {{"folder", setting.folder}, {"error", std::strerror(code)}});
        return Say(Message::kLogNotWritable, {{"log", log}, {"error", std::strerror(code)}});
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
        causes.push_back(problem.empty() ? Say(Message::kInitNoLog)
                                         : Say(Message::kInitNoLogBecause, {{"problem", problem}}));
        if (setting.narrowPath.empty() || setting.narrowPath.size() > kLongestModulePath)
            return causes;  // without its folder the module went no further
    }
    if (!iniFound)
        causes.push_back(Say(Message::kInitIniMissing, {{"ini", iniPath}}));
    else if (value.empty())
        causes.push_back(Say(Message::kInitSettingMissing, {{"ini", iniPath}}));

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
            causes.push_back(Say(Message::kInitInterfaceHeld));
        } else if (line == "_CreateRouter KO") {
            causes.push_back(Say(Message::kInitNoRouter));
        } else if (line.compare(0, 20, "_OpenCommSession NOK") == 0) {
            causes.push_back(Say(Message::kInitNoSession, {{"line", line}}));
        } else if (line.compare(0, 25, "_InitialiseCommBoard_Exp ") == 0) {
            causes.push_back(Say(Message::kInitBoardReported, {{"line", line}}));
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
        causes.push_back(Say(Message::kInitDriveLetter, {{"value", value}, {"path", AnsiToUtf8(libraryPath)}}));
    std::error_code ignored;
    if (IsRelative(value))
        causes.push_back(Say(Message::kInitRelativeFolder,
                             {{"value", value},
                              {"path", AnsiToUtf8(libraryPath)},
                              {"program_folder", setting.programFolder},
                              {"current_folder", Utf8Of(std::filesystem::current_path(ignored))}}));
    return causes;
}

}  // namespace torvexupdate
