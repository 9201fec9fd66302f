// The module's entry routine, called on process and thread attach and detach.
#ifndef TORVEX_ENTRY_ROUTINE_H
#define TORVEX_ENTRY_ROUTINE_H

// The system's reason codes (checked against its own names in the Windows layer).
constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;
constexpr unsigned long kThreadAttach = 2;
constexpr unsigned long kThreadDetach = 3;

// Always returns 1. `reserved` non-null on detach means the process is terminating.
int DllEntryPoint(void* instance, unsigned long reason, void* reserved);

#endif
