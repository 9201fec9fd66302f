#include "link/entry_routine.h"

#include "link/module_init.h"
#include "platform/platform.h"

#include <cstdlib>

int DllEntryPoint(void* /*instance*/, unsigned long reason, void* reserved)
{
    if (reason == kProcessAttach) {
        g_pHinst = nullptr;
    } else if (reason == kProcessDetach && g_pHinst != nullptr) {
        // When the whole process is ending the system reclaims every module, and
        // unloading one from here is unsafe: only unload on a real FreeLibrary.
        if (reserved == nullptr && g_pHinst->library != nullptr)
            Platform_FreeLibrary(g_pHinst->library);
        std::free(g_pHinst);
        g_pHinst = nullptr;
    }
    return 1;
}
