// The system calls DllMain on process and thread attach and detach; the module's own
// entry routine does the work.
#include "link/entry_routine.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return DllEntryPoint(instance, reason, reserved);
}
