#include "session_slots.h"

#include "records.h"
#include "state_files.h"

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace qsim {
namespace {

#if defined(_WIN32)
using FileHandle = HANDLE;
const FileHandle kNoFile = INVALID_HANDLE_VALUE;

FileHandle OpenSlots(const char* path)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseSlots(FileHandle file)
{
    CloseHandle(file);
}

// Windows byte-range locks belong to the handle: another handle of this process
// conflicts with them as another process's would.
bool TryLockSlot(FileHandle file, int slot)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(slot);
    return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

void UnlockSlot(FileHandle file, int slot)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(slot);
    UnlockFileEx(file, 0, 1, 0, &at);
}
#else
using FileHandle = int;
const FileHandle kNoFile = -1;

// Open-file-description locks belong to the open file, as Windows locks belong to the
// handle; where the system lacks them, process locks serve (this process's own
// sessions are then not seen).
#if defined(F_OFD_SETLK)
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

FileHandle OpenSlots(const char* path)
{
    return open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

void CloseSlots(FileHandle file)
{
    close(file);
}

bool SetSlotLock(FileHandle file, int slot, short type)
{
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = slot;
    range.l_len = 1;
    return fcntl(file, kSetLock, &range) == 0;
}

bool TryLockSlot(FileHandle file, int slot)
{
    return SetSlotLock(file, slot, F_WRLCK);
}

void UnlockSlot(FileHandle file, int slot)
{
    SetSlotLock(file, slot, F_UNLCK);
}
#endif

struct HeldSlot {
    FileHandle file;
    int slot;
};

// The slots of this process's open sessions, the latest last.
HeldSlot g_held[kMaxSessionEntries];
int g_heldCount = 0;

FileHandle OpenSlotsFile()
{
    char path[4200];
    if (!BuildStatePath(StateFile::kSessions, path, sizeof path))
        return kNoFile;
    return OpenSlots(path);
}

}  // namespace

bool TakeSessionSlot()
{
    if (g_heldCount >= kMaxSessionEntries)
        return false;
    FileHandle file = OpenSlotsFile();
    if (file == kNoFile)
        return false;
    for (int slot = 0; slot < kMaxSessionEntries; ++slot) {
        if (TryLockSlot(file, slot)) {
            g_held[g_heldCount++] = HeldSlot{file, slot};
            return true;
        }
    }
    CloseSlots(file);
    return false;
}

void ReleaseSessionSlot()
{
    if (g_heldCount == 0)
        return;
    HeldSlot held = g_held[--g_heldCount];
    UnlockSlot(held.file, held.slot);
    CloseSlots(held.file);
}

int CountHeldSessionSlots()
{
    FileHandle file = OpenSlotsFile();
    if (file == kNoFile)
        return 0;
    int held = 0;
    for (int slot = 0; slot < kMaxSessionEntries; ++slot) {
        if (TryLockSlot(file, slot))
            UnlockSlot(file, slot);
        else
            ++held;
    }
    CloseSlots(file);
    return held;
}

}  // namespace qsim
