// The application file routines on real files: sizes, whole-file reads into a buffer of
// the measured size, and the banner line written for a file.
#include "component/application_file.h"
#include "log/trace_log.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using testing_support::LogText;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

const std::string kBannerLine = "Version \xE0 t\xE9l\xE9"
                                "charger : ";

// Eight header bytes, a banner, and what follows it; none of it but the banner is shown.
std::string ApplicationFile(const std::string& banner, std::size_t size)
{
    std::string bytes = std::string("\x01\x02\x03\x04HEAD", 8) + banner;
    bytes.resize(size, 'Z');
    return bytes;
}

class ApplicationFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string log = scratch_.File("Torvex.log");
        ASSERT_LT(log.size(), sizeof g_TorvexLogPath);
        std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
        std::memcpy(g_TorvexLogPath, log.c_str(), log.size());
    }
    std::string Log() const { return ReadFile(scratch_.File("Torvex.log")); }
    std::string File(const std::string& name, const std::string& bytes) const
    {
        WriteFile(scratch_.File(name), bytes);
        return scratch_.File(name);
    }

    testing_support::ScratchFolder scratch_{"appfile"};
};

}  // namespace

TEST_F(ApplicationFileTest, SizeAndWholeReadAreByteExact)
{
    std::string binary;
    for (int i = 0; i < 300; ++i)
        binary += static_cast<char>(i * 7);
    binary += "\r\n\x1A\n\r";  // bytes a text-mode read would translate or stop at
    for (const std::string& content : {std::string(), std::string(1, '\0'), binary}) {
        SCOPED_TRACE(content.size());
        std::string path = File("app.bin", content);
        EXPECT_EQ(GetSizeFile(path.c_str()), static_cast<int>(content.size()));

        std::string buffer(content.size() + 8, '\x5A');
        EXPECT_EQ(GetFile(path.c_str(), &buffer[0], content.size()), 1);
        EXPECT_EQ(buffer, content + std::string(8, '\x5A'));
    }
    EXPECT_EQ(Log(), "");
}

TEST_F(ApplicationFileTest, RefusedReads)
{
    std::string path = File("app.bin", std::string(100, 'a'));
    std::string empty = File("empty.bin", "");
    std::string missing = scratch_.File("missing.bin");
    std::string buffer(120, '\x5A');

    EXPECT_EQ(GetSizeFile(missing.c_str()), 0);
    EXPECT_EQ(GetSizeFile(nullptr), 0);
    EXPECT_EQ(GetFile(missing.c_str(), &buffer[0], 100), 0);
    EXPECT_EQ(GetFile(path.c_str(), nullptr, 100), 0);
    EXPECT_EQ(GetFile(empty.c_str(), nullptr, 0), 1);  // nothing to read
    // The file is no longer the size its buffer was made for.
    EXPECT_EQ(GetFile(path.c_str(), &buffer[0], 99), 0);
    EXPECT_EQ(GetFile(path.c_str(), &buffer[0], 101), 0);
    EXPECT_EQ(GetFile(path.c_str(), &buffer[0], 0), 0);
    EXPECT_EQ(buffer.substr(99), std::string(21, '\x5A')) << "read past the caller's capacity";
    EXPECT_EQ(Log(), "");
}

TEST_F(ApplicationFileTest, BannerLineOnlyForFilesOf58BytesOrMore)
{
    const std::string full("ABCDEFGHIJKLMN\0PQRSTUVWX\0ABCDEF\0GHIJKL\0XY\0", 42);
    const std::string unterminated = std::string("ABCDEFGHIJKLMN\0PQRSTUVWX\0ABCDEF\0GHIJKL\0", 39) + "123456789";
    struct Case {
        std::string banner;
        std::size_t size;
        const char* expected;  // null: nothing logged
    };
    const Case cases[] = {
        {full, 0, nullptr},
        {full, 8, nullptr},
        {full, 57, nullptr},
        {full, 58, "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY"},
        {full, 5000, "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY"},
        {unterminated, 58, "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL 123456789"},
        {std::string(48, '\0'), 58, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        WriteFile(scratch_.File("Torvex.log"), "");
        std::string path = File("app.bin", ApplicationFile(c.banner, c.size));
        DecodeBanniere(path.c_str());
        EXPECT_EQ(Log(), c.expected == nullptr ? std::string() : LogText(kBannerLine + c.expected + "\n"));
    }

    WriteFile(scratch_.File("Torvex.log"), "");
    DecodeBanniere(scratch_.File("missing.bin").c_str());
    EXPECT_EQ(Log(), "");
}
