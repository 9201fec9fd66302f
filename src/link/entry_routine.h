// The module's entry routine, called on process and thread attach and detach.
#ifndef TORVEX_ENTRY_ROUTINE_H
#define TORVEX_ENTRY_ROUTINE_H

constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;

// Always returns 1. `reserved` non-null on detach means the process is terminating.
int DllEntryPoint(void* instance, unsigned long reason, void* reserved);

#endif
