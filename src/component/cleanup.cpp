#include "torvex.h"

#include "component/session.h"
#include "log/trace_log.h"
#include "platform/platform.h"

extern "C" int TORVEX_CALL _Clean_ZR_COM(void)
{
    PlatformCallLock lock;  // one exported call at a time, whichever thread makes it
    if (_OpenCommSession == nullptr)
        return 0;
    int result = 0;
    CompteRendu session = {};
    unsigned char sessionFlag;
    if (_OpenCommSession(&session, &sessionFlag) > 0) {
        if (_CleanupZR != nullptr) {
            _CleanupZR();
            result = 1;
        }
        CloseOperationSession(session);
    }
    // One line in every case, showing the record as the last library call left it.
    LogReport("Clean_ZR_COM", session.com, session.general);
    return result;
}
