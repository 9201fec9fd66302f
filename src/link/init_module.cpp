#include "torvex.h"

#include "link/module_init.h"
#include "log/trace_log.h"
#include "platform/platform.h"

extern "C" int TORVEX_CALL _Init_Module_COM(void)
{
    PlatformCallLock lock;  // one exported call at a time, whichever thread makes it
    int result = 1;
    if (g_bINIT == 0)
        result = Init_Library();
    if (result == 1) {
        result = Init_Com();
        if (result == 1)
            g_bINIT = 1;
    }
    WriteStringToLog("Sort Init_Module_COM\n");
    WriteStringToLog(kSeparatorLine);
    return result;
}
