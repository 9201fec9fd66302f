#include "link/library_contract.h"
#include "link/module_init.h"
#include "log/trace_log.h"
#include "platform/platform.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

LibraryHolder* g_pHinst = nullptr;
int g_bINIT = 0;
int g_bROUTER = 0;

namespace {

const char kModuleName[] = "torvex.dll";
const char kLibraryFile[] = "\\quelvane.dll";
constexpr std::size_t kPathBufferSize = 260;  // base directory, INI value, library path
constexpr std::size_t kModulePathSize = 256;  // the system is given 255

// Joins `head` and `tail` into `out`; leaves `out` empty when the whole does not fit,
// since a cut path would name another file.
void JoinPath(char* out, std::size_t size, const char* head, const char* tail)
{
    std::size_t headLength = std::strlen(head);
    std::size_t tailLength = std::strlen(tail);
    out[0] = '\0';
    if (headLength + tailLength >= size)
        return;
    std::memcpy(out, head, headLength);
    std::memcpy(out + headLength, tail, tailLength + 1);
}

// The module's drive and folder. False when the module path is unknown or was cut.
bool FindModuleFolder(char* drive, std::size_t driveSize, char* folder, std::size_t folderSize)
{
    char modulePath[kModulePathSize] = {};
    std::size_t length = Platform_ModuleFilePath(kModuleName, modulePath, kModulePathSize - 1);
    if (length == 0 || length >= kModulePathSize - 1)
        return false;
    return Platform_SplitFolder(modulePath, drive, driveSize, folder, folderSize);
}

// The date line, in ctime's words; a date the system cannot show leaves the text empty.
void LogDateLine()
{
    char dateLine[100] = {};
    char text[64] = {};
    if (!Platform_TimeText(Platform_CurrentTime(), text, sizeof text))
        std::snprintf(text, sizeof text, "\n");
    std::snprintf(dateLine, sizeof dateLine, "Today's date and time: %s\n", text);
    WriteStringToLog(dateLine);
}

}  // namespace

int Init_Library(void)
{
    if (g_pHinst != nullptr) {
        std::free(g_pHinst);  // the library it names stays loaded
        g_pHinst = nullptr;
    }
    g_pHinst = static_cast<LibraryHolder*>(std::calloc(1, sizeof(LibraryHolder)));

    char drive[256] = {};
    char baseDirectory[kPathBufferSize] = {};
    if (!FindModuleFolder(drive, sizeof drive, baseDirectory, sizeof baseDirectory))
        return 0;  // without its own folder the module can place neither log nor INI file

    JoinPath(g_TorvexLogPath, kLogPathSize, baseDirectory, "Torvex.log");
    LogDateLine();
    WriteStringToLog("\nEntre Init_Library\n");
    if (g_pHinst == nullptr) {
        // Nowhere to keep the library's handle: say so rather than fail silently.
        WriteStringToLog("WARNING no memory for the library holder: library not loaded\n");
        LogFormat("Status = %d\n", 0);
        WriteStringToLog("Sort Init_Library\n");
        return 0;
    }

    char iniPath[kPathBufferSize] = {};
    JoinPath(iniPath, sizeof iniPath, baseDirectory, "torvex.ini");
    LogFormat("Path torvex.ini : %s\n", iniPath);

    char iniValue[kPathBufferSize] = {};
    if (iniPath[0] != '\0')
        Platform_ReadProfileString("TorvexPath", "QuelvanePath", "", iniValue, sizeof iniValue, iniPath);

    char libraryPath[kPathBufferSize] = {};
    JoinPath(libraryPath, sizeof libraryPath, iniValue, kLibraryFile);
    // A value with a drive takes the module's own drive; without a drive that leaves no path.
    if (std::strchr(iniValue, ':') != nullptr && libraryPath[0] != '\0')
        libraryPath[0] = drive[0];
    LogFormat("Path Quelvane : %s\n", libraryPath);

    g_pHinst->library = Platform_LoadLibrary(libraryPath);
    int status = 0;
    if (g_pHinst->library != nullptr) {
        ResolveEntryPoints(g_pHinst->library);
        status = 1;
    }
    LogFormat("Status = %d\n", status);
    WriteStringToLog("Sort Init_Library\n");
    return status;
}
