// The system services the simulator needs, each declared once here and implemented in a
// file of the same name in sim/platform/windows and sim/platform/posix; CMake picks the
// folder, so no other simulator file depends on the system. The attribute that exports an
// entry point is export_attribute.h in the same folders.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

// call_lock.cpp: one entry-point call at a time in this process.
void LockCalls();
void UnlockCalls();

// module_file.cpp: the full path of the simulator's own module file, wherever the host
// loaded it from. False when the system cannot tell, or the path needs more than cap bytes.
bool FindModuleFile(char* out, size_t cap);

// module_file.cpp: whether c separates folders in this system's paths.
bool IsPathSeparator(char c);

// slot_file.cpp: the file whose one-byte locks mark sessions open in any process. The
// locks belong to the open file (not to the process), and the system drops them with
// the process.
using SlotFile = intptr_t;
constexpr SlotFile kNoSlotFile = -1;
SlotFile OpenSlotFile(const char* path);  // created when missing; kNoSlotFile on failure
void CloseSlotFile(SlotFile file);
bool TryLockSlot(SlotFile file, int slot);  // false when another open file holds it
void UnlockSlot(SlotFile file, int slot);

// sleep.cpp: waits at least that long.
void SleepMilliseconds(uint64_t milliseconds);

}  // namespace qsim
