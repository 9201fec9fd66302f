#include "torvex.h"

#include "board/command.h"
#include "component/application_file.h"
#include "component/session.h"
#include "log/trace_log.h"
#include "platform/platform.h"

#include <cstdlib>

namespace {

// Result of a download that _SendCommand refused, from its `com` report.
int RefusedDownloadResult(std::uint16_t com)
{
    for (std::uint16_t refused : kComDownloadRefusedCodes)
        if (com == refused)
            return -2;
    return com == kComDownloadFailed ? -1 : 0;
}

// Sends the file with command 0x30 and, when the library carried it out, starts the
// application and resets the board.
int SendApplication(const char* path, int size)
{
    auto* buffer = static_cast<char*>(std::malloc(static_cast<std::size_t>(size) + 1));
    if (GetFile(path, buffer, static_cast<std::size_t>(size)) == 0) {
        WriteStringToLog("Fichier Appli.COM vide\n");
        std::free(buffer);
        return 0;
    }
    CommandStatus status;
    int sent = SendBoardCommand(kCmdDownload, kDownloadTimeout, buffer, static_cast<std::uint32_t>(size), status);
    LogCommandReport("\n", "TelechargeComposant_COM", status);
    std::free(buffer);
    if (sent == 0)
        return RefusedDownloadResult(status.com);
    if (Saut_Appli() == 0 || Reset_Board() == 0)
        return 0;
    return sent;
}

}  // namespace

extern "C" int TORVEX_CALL _TelechargeComposant_COM(const char* path)
{
    PlatformCallLock lock;  // one exported call at a time, whichever thread makes it
    WriteStringToLog("\nEntre TelechargeComposant_COM\n");
    LogFormat("Path Telechargement : %s\n", path != nullptr ? path : "");
    DecodeBanniere(path);
    if (_SendCommand == nullptr || _OpenCommSession == nullptr)
        return 0;

    int result = 0;
    CompteRendu session = {};
    unsigned char sessionFlag;
    if (OpenOperationSession(session, sessionFlag)) {
        Reset_Board();
        int size = GetSizeFile(path);
        if (size > 0)
            result = SendApplication(path, size);
        CloseOperationSession(session);
    }
    LogOperationEnd("\nSort TelechargeComposant_COM\n");
    return result;
}
