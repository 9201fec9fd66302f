// Journal of entry-point calls: one text line per call, written before the
// call acts, recording what the host handed over. Tests read it back.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

// Fixed-size line builder; text beyond the capacity is dropped.
class JournalLine {
public:
    JournalLine& Add(const char* text);
    JournalLine& AddFormat(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // Upper-case two-digit hex bytes separated by single spaces.
    JournalLine& AddHex(const uint8_t* bytes, size_t count);

    const char* Text() const
    {
        return buf_;
    }

private:
    char buf_[1024] = {};
    size_t len_ = 0;
};

// Appends the line to quelvane-sim.journal beside the module.
void WriteJournal(const JournalLine& line);

}  // namespace qsim
