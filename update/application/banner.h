// The banner: the 48-byte identification block of an application (bytes 8 to 55 of an
// application file, or the board's version reply): five zero-terminated text fields.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

constexpr std::size_t kBannerOffset = 8;
constexpr std::size_t kBannerSize = 48;
constexpr std::size_t kBannerFieldCount = 5;
// A file carries a banner only when it holds more than bytes 0 to 56.
constexpr long long kSmallestFileWithBanner = 58;

struct Banner {
    std::vector<std::string> fields;  // raw bytes of each field found, at most five
    bool complete = false;            // five fields, each terminated within the block
};

// Reads at most `size` bytes: a field that reaches the end without its zero byte is kept
// as it stands and ends the banner (incomplete); missing fields are simply absent.
Banner ParseBanner(const char* bytes, std::size_t size);

// True when every byte is zero: what a host's pre-cleared buffer looks like after a
// version query that wrote nothing.
bool AllZero(const char* bytes, std::size_t size);

// Field `index` (0-based), or "" when the banner has fewer fields.
std::string FieldOf(const Banner& banner, std::size_t index);

// The banner on one line, laid out as the module writes it to Torvex.log: the second to
// fifth fields start at columns 15, 25, 32 and 39 when the fields have their usual
// widths (14, 9, 6, 6); a text that reaches a column is cut there and followed by a space.
std::string BannerLine(const Banner& banner);

// The five fields for a person, apart: "TORVEX-SAMPLE1 | APP 1.0.0 | RUNTIM | BOARDA |
// 20261208". Fields that fill their width run together in BannerLine; here they cannot. An
// absent field shows empty.
std::string BannerFields(const Banner& banner);

// Same five fields (an absent field counts as empty).
bool SameFields(const Banner& a, const Banner& b);

struct ApplicationFile {
    bool readable = false;
    std::string problem;  // why it is not readable, for the user
    long long size = 0;
    std::optional<Banner> banner;  // absent for files under kSmallestFileWithBanner bytes
};

// Opens the file, takes its size and reads its banner; touches nothing else.
ApplicationFile ReadApplicationFile(const std::string& path);

}  // namespace torvexupdate
