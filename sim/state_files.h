// The files that hold the simulated board's state, all beside the module:
//   quelvane-sim.flash    flashed application image (survives the process)
//   quelvane-sim.eeprom   EEPROM flag area
//   quelvane-sim.ini      configuration / fault injection, read on every call
//   quelvane-sim.journal  one text line per entry-point call, append-only
//   quelvane-sim.sessions locks only: the sessions open in any process
//   quelvane-sim.calls    how many calls each section answered, while a script runs
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

enum class StateFile { kFlash, kEeprom, kConfig, kJournal, kSessions, kCalls };

// Full path of a state file. False when the module directory is unknown or the
// path does not fit; callers then behave as if the file were absent.
bool BuildStatePath(StateFile file, char* out, size_t cap);

// Size in bytes, or -1 when the file is missing or unreadable.
int64_t ReadFileSize(const char* path);

// Reads up to cap bytes starting at offset; returns the number of bytes read.
size_t ReadFileBytes(const char* path, uint32_t offset, uint8_t* out, size_t cap);

// Replaces the file's contents with exactly len bytes. False on any failure.
// With bytesPerSecond above 0 the bytes go out in small pieces at that pace, each
// flushed to the file, so that the file grows while the call runs.
bool WriteWholeFile(const char* path, const void* data, size_t len, uint32_t bytesPerSecond = 0);

// Appends one line (a newline is added) and closes the file again, so that a
// reader sees every completed call even if the host crashes later.
void AppendLine(const char* path, const char* line);

}  // namespace qsim
