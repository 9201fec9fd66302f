// The entry glue: the one place where the platform layer calls up into the module. The
// system calls DllMain on process and thread attach and detach; DllEntryPoint does the work.
#include "link/entry_routine.h"

#include <windows.h>

// The entry routine compares the reason with its own constants: they must be the system's.
static_assert(kProcessAttach == DLL_PROCESS_ATTACH, "process attach code");
static_assert(kProcessDetach == DLL_PROCESS_DETACH, "process detach code");
static_assert(kThreadAttach == DLL_THREAD_ATTACH, "thread attach code");
static_assert(kThreadDetach == DLL_THREAD_DETACH, "thread detach code");

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return DllEntryPoint(instance, reason, reserved);
}
