// Where the answer to one entry-point call comes from: the call's numbered section
// ("[open.3]" for the 3rd _OpenCommSession, "[command.30.2]" for the 2nd command 0x30)
// when the script has one, then the static section ("[open]"), then the board's own
// behaviour (the fallback each read is given). Calls are counted only while the
// configuration holds a script, in quelvane-sim.calls, so that the count goes on from
// one host process to the next.
#pragma once

#include "config.h"

#include <cstdint>

namespace qsim {

class Answer {
public:
    // Counts this call of `section` and finds the numbered section that answers it.
    Answer(const Config& config, const char* section);

    const char* Find(const char* key) const;
    // The key's value in the call's numbered section only, or in the static section only.
    const char* FindInCall(const char* key) const;
    const char* FindStatic(const char* key) const;
    bool ReadNumber(const char* key, int64_t* out) const;
    int32_t ReadInt32Or(const char* key, int32_t fallback) const;
    uint32_t ReadUint32Or(const char* key, uint32_t fallback) const;
    bool IsFlagSet(const char* key) const;

private:
    const Config& config_;
    const char* section_;
    char numbered_[48] = {};  // empty when the script has no section for this call
};

}  // namespace qsim
