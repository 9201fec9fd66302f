#include "torvex.h"

#include "component/session.h"
#include "log/trace_log.h"
#include "platform/platform.h"

#include <cstring>

namespace {

// Length of the reference text, never looking past the `length` bytes the host stated.
int ReferenceLength(const char* buffer, int length)
{
    if (buffer == nullptr || length <= 0)
        return 0;
    const void* end = std::memchr(buffer, '\0', static_cast<std::size_t>(length));
    return end != nullptr ? static_cast<int>(static_cast<const char*>(end) - buffer) : length;
}

}  // namespace

extern "C" int TORVEX_CALL _GetReferenceBoard_COM(char* buffer, int length)
{
    PlatformCallLock lock;  // one exported call at a time, whichever thread makes it
    WriteStringToLog("\nEntre GetReferenceBoard_COM\n");
    CompteRendu report = kReportPreset;
    int result = 0;
    if (_BoardGetInfo == nullptr || _OpenCommSession == nullptr)
        return 0;

    CompteRendu session = {};
    unsigned char sessionFlag;
    if (OpenOperationSession(session, sessionFlag)) {
        if (_BoardGetInfo(0, 2, buffer, length, &report) != 0) {
            LogFormat("\nReference Carte %.*s\n", ReferenceLength(buffer, length), buffer != nullptr ? buffer : "");
            result = 1;
        }
        LogReport("\n_BoardGetInfo", report.com, report.general);
        CloseOperationSession(session);
    }
    LogOperationEnd("\nSort GetReferenceBoard_COM\n");
    return result;
}
