// From a banner line of the log back to banner bytes: the module decodes a banner (five
// fields, each ended by a zero byte) into one line by a column rule; this finds fields
// that decode to the logged line, so that a file or a board can be made to show it again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace torvexreplay {

// The five fields that decode to `text`, each ended by a zero byte, in as few bytes as the
// column rule allows. False when no banner of at most `capacity` bytes decodes to it (the
// line holds a zero byte, or is too long for the banner).
bool BannerForText(std::string_view text, std::size_t capacity, std::string* banner);

}  // namespace torvexreplay
