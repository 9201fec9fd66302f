// The application file: its size, its bytes, and its banner (bytes 8 to 55).
#ifndef TORVEX_APPLICATION_FILE_H
#define TORVEX_APPLICATION_FILE_H

#include <cstddef>

constexpr std::size_t kBannerOffset = 8;
constexpr std::size_t kBannerSize = 48;
constexpr long long kSmallestFileWithBanner = 58;

// Size in bytes; 0 when the file cannot be opened, its size cannot be taken, or it does
// not fit an int (2 GiB or more).
int GetSizeFile(const char* path);

// Reads the whole file in one read into `buffer`, which holds `capacity` bytes. 1 when
// read, and for a file measured empty that is still empty (capacity 0, nothing read); 0
// when the file cannot be opened, the buffer is null, the file's size is no longer
// `capacity` (it changed since it was measured, emptied included) or the read comes up short.
int GetFile(const char* path, char* buffer, std::size_t capacity);

// Logs the decoded banner of the file; nothing when it cannot be opened or has no banner.
void DecodeBanniere(const char* path);

#endif
