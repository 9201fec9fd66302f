// Decoding a banner into one line: the column rule, short and unterminated banners, and
// the bounds of both buffers. The source sits in a heap block of exactly its size, so a
// read past it is caught by the address sanitizer; canaries follow the destination.
#include "common/banner_columns.h"
#include "support/trace_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

const char kCanary = '\x5A';
const std::size_t kCanaryCount = 16;

// Decodes `source` into a destination of `textSize` bytes pre-filled with non-zero
// garbage, checks the canaries behind it and returns the text.
std::string Decode(const std::string& source, std::size_t textSize)
{
    std::unique_ptr<char[]> exact(new char[source.size()]);
    std::memcpy(exact.get(), source.data(), source.size());
    std::string destination(textSize, '\x7F');
    destination.append(kCanaryCount, kCanary);

    DecodeFirmwareVersion(exact.get(), source.size(), &destination[0], textSize);

    EXPECT_EQ(destination.substr(textSize), std::string(kCanaryCount, kCanary)) << "written past textSize";
    if (textSize == 0)
        return std::string();
    std::size_t end = destination.find('\0');
    EXPECT_LT(end, textSize) << "not terminated";
    return destination.substr(0, std::min(end, textSize));
}

std::string Field(char letter, std::size_t count)
{
    return std::string(count, letter) + '\0';
}

std::string PadTo48(std::string banner)
{
    banner.resize(48, '\0');
    return banner;
}

const std::string kFullBanner = testing_support::Banner({"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "XY"});

}  // namespace

TEST(DecodeFirmwareVersion, JoinsFieldsAtTheColumns)
{
    struct Case {
        const char* name;
        std::string source;
        std::string expected;
    };
    const Case cases[] = {
        {"fields of their usual widths", kFullBanner, "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY"},
        {"short first field: no space", PadTo48(std::string("ABC\0PQRSTUVWX\0", 14)), "ABCPQRSTUVWX"},
        {"second column passed: cut and space",
         PadTo48(std::string("ABC") + '\0' + Field('B', 25) + "CD" + '\0' + "EF" + '\0' + "GH" + '\0'),
         "ABC" + std::string(21, 'B') + " CDEFGH"},
        {"no column reached", PadTo48(std::string("ABC") + '\0' + Field('B', 12) + Field('C', 10) + '\0' + "GH" + '\0'),
         "ABC" + std::string(12, 'B') + std::string(10, 'C') + "GH"},
        {"long first field cut to 14", PadTo48("ABCDEFGHIJKLMNOPQRST" + std::string(1, '\0') + "XYZ"),
         "ABCDEFGHIJKLMN XYZ"},
        {"fifth field fills the banner unterminated",
         std::string("ABCDEFGHIJKLMN\0PQRSTUVWX\0ABCDEF\0GHIJKL\0", 39) + "123456789",
         "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL 123456789"},
        {"no terminator in 48 bytes", std::string(48, 'Q'), std::string(14, 'Q') + " "},
        {"empty fields only", std::string(48, '\0'), ""},
        {"source of 0 bytes", std::string(), ""},
        {"source ends inside field 2", std::string("ABCDEFGHIJKLMN\0PQR", 18), "ABCDEFGHIJKLMN PQR"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.source, kBannerTextSize), c.expected) << c.name;
}

TEST(DecodeFirmwareVersion, StaysWithinSmallDestinations)
{
    struct Case {
        std::size_t textSize;
        std::string expected;
    };
    const Case cases[] = {
        {0, ""},
        {1, ""},
        {10, "ABCDEFGHI"},
        {15, "ABCDEFGHIJKLMN"},
        {16, "ABCDEFGHIJKLMN "},
        {17, "ABCDEFGHIJKLMN P"},
        {42, "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(kFullBanner, c.textSize), c.expected) << "textSize " << c.textSize;
}

TEST(DecodeFirmwareVersion, NullSourceGivesEmptyText)
{
    char text[4] = {'x', 'x', 'x', 'x'};
    DecodeFirmwareVersion(nullptr, 48, text, sizeof text);
    EXPECT_EQ(text[0], '\0');
    DecodeFirmwareVersion(kFullBanner.data(), kFullBanner.size(), nullptr, 64);  // nothing to write to
}
