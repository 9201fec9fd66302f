#include "platform/sim_platform.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace qsim {
namespace {

HANDLE Handle(SlotFile file)
{
    return reinterpret_cast<HANDLE>(file);
}

}  // namespace

SlotFile OpenSlotFile(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? kNoSlotFile : reinterpret_cast<SlotFile>(file);
}

void CloseSlotFile(SlotFile file)
{
    CloseHandle(Handle(file));
}

// Windows byte-range locks belong to the handle: another handle of this process
// conflicts with them as another process's would.
bool TryLockSlot(SlotFile file, int slot)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(slot);
    return LockFileEx(Handle(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void UnlockSlot(SlotFile file, int slot)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(slot);
    UnlockFileEx(Handle(file), 0, 1, 0, &at);
}

}  // namespace qsim
