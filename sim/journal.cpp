#include "journal.h"

#include "state_files.h"

#include <cstdarg>
#include <cstdio>

namespace qsim {

JournalLine& JournalLine::Add(const char* text)
{
    return AddFormat("%s", text ? text : "");
}

// printf-style on purpose: the compiler checks each call against its format.
JournalLine& JournalLine::AddFormat(const char* format, ...)
{  // NOLINT(cert-dcl50-cpp)
    if (len_ + 1 >= sizeof buf_)
        return *this;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buf_ + len_, sizeof buf_ - len_, format, args);
    va_end(args);
    if (n > 0) {
        size_t added = static_cast<size_t>(n);
        len_ += added < sizeof buf_ - len_ ? added : sizeof buf_ - len_ - 1;
    }
    return *this;
}

JournalLine& JournalLine::AddHex(const uint8_t* bytes, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        AddFormat(i ? " %02X" : "%02X", bytes[i]);
    return *this;
}

void WriteJournal(const JournalLine& line)
{
    char path[4200];
    if (BuildStatePath(StateFile::kJournal, path, sizeof path))
        AppendLine(path, line.Text());
}

}  // namespace qsim
