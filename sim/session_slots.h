// Sessions that other processes can see. While one of its sessions is open, a process
// holds a lock on one byte (a slot) of quelvane-sim.sessions beside the simulator; any
// process can test which slots are held. The system drops the locks with the process,
// so a host that dies with a session open frees its slot.
#pragma once

namespace qsim {

// Takes a free slot for a session just opened. False when none is free or the file
// cannot be opened (the session then stays invisible to other processes).
bool TakeSessionSlot();

// Releases the slot taken last by this process, if any.
void ReleaseSessionSlot();

// How many slots are held, by any process (this one included).
int CountHeldSessionSlots();

}  // namespace qsim
