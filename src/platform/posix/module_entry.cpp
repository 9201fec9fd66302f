// The entry glue: the one place where the platform layer calls up into the module. The
// native loader has no entry routine: constructor and destructor stand in for process
// attach and detach.
#include "link/entry_routine.h"

namespace {

__attribute__((constructor)) void OnLoad()
{
    DllEntryPoint(nullptr, kProcessAttach, nullptr);
}

__attribute__((destructor)) void OnUnload()
{
    DllEntryPoint(nullptr, kProcessDetach, nullptr);
}

}  // namespace
