#include "session_slots.h"

#include "records.h"
#include "state_files.h"

#include "platform/sim_platform.h"

namespace qsim {
namespace {

struct HeldSlot {
    SlotFile file;
    int slot;
};

// The slots of this process's open sessions, the latest last.
HeldSlot g_held[kMaxSessionEntries];
int g_heldCount = 0;

SlotFile OpenSlotsFile()
{
    char path[4200];
    if (!BuildStatePath(StateFile::kSessions, path, sizeof path))
        return kNoSlotFile;
    return OpenSlotFile(path);
}

}  // namespace

bool TakeSessionSlot()
{
    if (g_heldCount >= kMaxSessionEntries)
        return false;
    SlotFile file = OpenSlotsFile();
    if (file == kNoSlotFile)
        return false;
    for (int slot = 0; slot < kMaxSessionEntries; ++slot) {
        if (TryLockSlot(file, slot)) {
            g_held[g_heldCount++] = HeldSlot{file, slot};
            return true;
        }
    }
    CloseSlotFile(file);
    return false;
}

void ReleaseSessionSlot()
{
    if (g_heldCount == 0)
        return;
    HeldSlot held = g_held[--g_heldCount];
    UnlockSlot(held.file, held.slot);
    CloseSlotFile(held.file);
}

int CountHeldSessionSlots()
{
    SlotFile file = OpenSlotsFile();
    if (file == kNoSlotFile)
        return 0;
    int held = 0;
    for (int slot = 0; slot < kMaxSessionEntries; ++slot) {
        if (TryLockSlot(file, slot))
            UnlockSlot(file, slot);
        else
            ++held;
    }
    CloseSlotFile(file);
    return held;
}

}  // namespace qsim
