#include "platform/sim_platform.h"

#include <fcntl.h>
#include <unistd.h>

namespace qsim {
namespace {

// Open-file-description locks belong to the open file, as Windows locks belong to the
// handle; where the system lacks them, process locks serve (this process's own
// sessions are then not seen).
#if defined(F_OFD_SETLK)
constexpr int kSetLock = F_OFD_SETLK;
#else
constexpr int kSetLock = F_SETLK;
#endif

bool SetSlotLock(SlotFile file, int slot, short type)
{
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = slot;
    range.l_len = 1;
    return fcntl(static_cast<int>(file), kSetLock, &range) == 0;
}

}  // namespace

SlotFile OpenSlotFile(const char* path)
{
    int file = open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    return file < 0 ? kNoSlotFile : file;
}

void CloseSlotFile(SlotFile file)
{
    close(static_cast<int>(file));
}

bool TryLockSlot(SlotFile file, int slot)
{
    return SetSlotLock(file, slot, F_WRLCK);
}

void UnlockSlot(SlotFile file, int slot)
{
    SetSlotLock(file, slot, F_UNLCK);
}

}  // namespace qsim
