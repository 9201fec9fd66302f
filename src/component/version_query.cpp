#include "torvex.h"

#include "board/command.h"
#include "common/banner_columns.h"
#include "component/session.h"
#include "log/trace_log.h"
#include "platform/platform.h"

namespace {

// Fetches the banner the board announced into the host's buffer (never more than the
// buffer's documented capacity) and logs it decoded. Returns _GetResult's value.
int FetchBanner(std::uint32_t replyLength, char* hostBuffer, CompteRendu& report)
{
    std::uint32_t length = replyLength < TORVEX_VERSION_BUFFER_SIZE ? replyLength : TORVEX_VERSION_BUFFER_SIZE;
    int result = _GetResult(0, length, hostBuffer, &report);
    char text[255] = {};
    DecodeFirmwareVersion(hostBuffer, length, text, sizeof text);
    WriteStringToLog("Version Composant  : ");
    WriteStringToLog(text);
    WriteStringToLog("\n");
    return result;
}

}  // namespace

extern "C" int TORVEX_CALL _GetVersionComposant_COM(int /*unused*/, char* buffer)
{
    PlatformCallLock lock;  // one exported call at a time, whichever thread makes it
    WriteStringToLog("\nEntre GetVersionComposant_COM\n");
    CompteRendu report = kReportPreset;
    int result = 1;
    if (_SendCommand == nullptr || _OpenCommSession == nullptr)
        return 0;

    CompteRendu session = {};
    unsigned char sessionFlag;
    if (OpenOperationSession(session, sessionFlag)) {
        CommandStatus status;
        result = SendBoardCommand(kCmdComponentVersion, kCommandTimeout, nullptr, 0, status);
        report.general = status.general;
        report.com = status.com;
        LogCommandReport("", "GetVersionComposant_COM", status);
        if (status.com == kComAccepted || status.com == kComAcceptedAnyGeneral) {
            if (status.replyLength != 0 && _GetResult != nullptr && buffer != nullptr)
                result = FetchBanner(status.replyLength, buffer, report);
        } else if (status.com == kComFlashEmpty) {
            WriteStringToLog("Pas d'application ecrite en Flash - Banniere VIDE\n");
            result = 1;
        } else {
            result = 0;
        }
        CloseOperationSession(session);
    }
    LogOperationEnd("\nSort GetVersionComposant_COM\n");
    return result;
}
