// The entry glue: the one place where the platform layer calls up into the module. The
// system calls DllMain on process and thread attach and detach; DllEntryPoint does the work.
#include "link/entry_routine.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return DllEntryPoint(instance, reason, reserved);
}
