// The banner: five zero-terminated text fields, joined into one line for the log.
#ifndef TORVEX_BANNER_H
#define TORVEX_BANNER_H

#include <cstddef>

// Enough for any decoded 48-byte banner: 48 field characters and 4 added spaces.
constexpr std::size_t kBannerTextSize = 64;

// Joins the fields of `source` (sourceSize bytes) into `text` (textSize bytes, always
// terminated) so that fields 2 to 5 start at columns 15, 25, 32 and 39 when the fields
// have their usual widths: whenever the text has reached a column it is cut there and a
// space follows. Fields missing from the source count as empty; nothing is read past
// `sourceSize` or written past `textSize`.
void DecodeFirmwareVersion(const char* source, std::size_t sourceSize, char* text, std::size_t textSize);

#endif
