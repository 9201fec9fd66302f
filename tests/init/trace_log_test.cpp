// The trace log in-process: the module's objects linked in, the log path set directly.
#include "log/trace_log.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

using testing_support::LogText;
using testing_support::ReadFile;
using testing_support::ScratchFolder;

namespace {

class TraceLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
        std::memset(g_Msg, 0, sizeof g_Msg);
    }
    void TearDown() override { std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath); }

    void UseLog(const std::string& path)
    {
        ASSERT_LT(path.size(), sizeof g_TorvexLogPath);
        std::memcpy(g_TorvexLogPath, path.c_str(), path.size() + 1);
    }

    ScratchFolder folder_{"log"};
    std::string log_ = folder_.File("Torvex.log");
};

TEST_F(TraceLog, MessageBeforeThePathIsSetIsDropped)
{
    EXPECT_EQ(WriteStringToLog("\nEntre Init_Library\n"), 0);
    RazLogFile();  // nothing to empty either
    EXPECT_TRUE(std::filesystem::is_empty(folder_.Path()));
}

TEST_F(TraceLog, LogThatCannotBeOpenedDropsTheMessage)
{
    UseLog(testing_support::JoinPath(folder_.File("missing-folder"), "Torvex.log"));
    EXPECT_EQ(WriteStringToLog("text\n"), 0);
    EXPECT_FALSE(testing_support::FileExists(g_TorvexLogPath));
}

TEST_F(TraceLog, MessagesAreAppendedAsTheyStand)
{
    UseLog(log_);
    testing_support::WriteFile(log_, LogText("earlier\n"));
    EXPECT_EQ(WriteStringToLog("no line end"), 1);
    EXPECT_EQ(WriteStringToLog(" then one\n"), 1);
    EXPECT_EQ(ReadFile(log_), LogText("earlier\nno line end then one\n"));
}

// An entry line without its final line end runs straight into the next message.
TEST_F(TraceLog, EntryWithoutLineEndIsFollowedOnTheNextLine)
{
    UseLog(log_);
    WriteStringToLog("\nEntre Write_FlagEEPROM");
    WriteStringToLog("\nDonn\xE9"
                     "es envoy\xE9"
                     "es dans EEPROM : \n");
    EXPECT_EQ(ReadFile(log_),
              LogText("\nEntre Write_FlagEEPROM\nDonn\xE9"
                      "es envoy\xE9"
                      "es dans EEPROM : \n"));
    EXPECT_EQ(testing_support::SplitLines(ReadFile(log_)),
              (std::vector<std::string>{"", "Entre Write_FlagEEPROM",
                                        "Donn\xE9"
                                        "es envoy\xE9"
                                        "es dans EEPROM : "}));
}

// Nothing is held open: the file can go between two messages and comes back with the next.
TEST_F(TraceLog, FileIsClosedBetweenMessages)
{
    UseLog(log_);
    ASSERT_EQ(WriteStringToLog("first\n"), 1);
    std::error_code error;
    ASSERT_TRUE(std::filesystem::remove(log_, error)) << error.message();
    ASSERT_EQ(WriteStringToLog("second\n"), 1);
    EXPECT_EQ(ReadFile(log_), LogText("second\n"));
    ASSERT_TRUE(std::filesystem::remove(log_, error)) << error.message();
}

struct SizeCase {
    const char* name;
    std::uintmax_t sizeAfterWrite;
    bool emptied;
};

class LogSizeLimit : public TraceLog, public ::testing::WithParamInterface<SizeCase> { };

// The size is taken after the write; past 5,000,000 bytes the whole file goes, the
// message just written included, and the next message starts a new file.
TEST_P(LogSizeLimit, EmptiedOnlyPastTheLimit)
{
    const SizeCase& row = GetParam();
    const std::string message = "Sort Init_Com";  // no line end: the same bytes on every build
    UseLog(log_);
    testing_support::WriteFile(log_, std::string(row.sizeAfterWrite - message.size(), 'x'));

    EXPECT_EQ(WriteStringToLog(message.c_str()), 1);
    std::string content = ReadFile(log_);
    if (row.emptied) {
        EXPECT_EQ(content.size(), 0u);
        WriteStringToLog("next\n");
        EXPECT_EQ(ReadFile(log_), LogText("next\n"));
    } else {
        EXPECT_EQ(content.size(), row.sizeAfterWrite);
        EXPECT_EQ(content.substr(content.size() - message.size()), message);
    }
}

INSTANTIATE_TEST_SUITE_P(TraceLog, LogSizeLimit,
                         ::testing::Values(SizeCase{"JustUnder", 4999999, false},
                                           SizeCase{"ExactlyTheLimit", 5000000, false},
                                           SizeCase{"OneByteMore", 5000001, true},
                                           SizeCase{"FarBeyond", 5200000, true}),
                         [](const ::testing::TestParamInfo<SizeCase>& row) { return std::string(row.param.name); });

// A text-mode append on Windows first drops a Ctrl-Z that ends the file; the native build
// keeps every byte.
TEST_F(TraceLog, FinalCtrlZBeforeAnAppend)
{
    UseLog(log_);
    testing_support::WriteFile(log_, "Version Composant  : V1\x1A");
    WriteStringToLog("\n");
#if defined(_WIN32)
    EXPECT_EQ(ReadFile(log_), "Version Composant  : V1\r\n");
#else
    EXPECT_EQ(ReadFile(log_), "Version Composant  : V1\x1A\n");
#endif
}

TEST_F(TraceLog, RazLogFileEmptiesTheLog)
{
    UseLog(log_);
    testing_support::WriteFile(log_, "content");
    RazLogFile();
    EXPECT_TRUE(testing_support::FileExists(log_));
    EXPECT_EQ(ReadFile(log_), "");
}

struct FormatCase {
    const char* name;
    std::size_t textLength;  // characters before the line end
    std::string logged;      // what reaches the file, before line-end translation
};

class LogFormatBound : public TraceLog, public ::testing::WithParamInterface<FormatCase> { };

// g_Msg holds 254 characters; a longer line is cut there and still ends its line.
TEST_P(LogFormatBound, LongLinesAreCutKeepingTheLineEnd)
{
    const FormatCase& row = GetParam();
    UseLog(log_);
    LogFormat("Path Telechargement : %s\n", std::string(row.textLength, 'p').c_str());
    WriteStringToLog("Sort\n");
    EXPECT_EQ(ReadFile(log_), LogText(row.logged + "Sort\n"));
    EXPECT_LE(std::strlen(g_Msg), sizeof g_Msg - 1);
}

const std::string kPrefix = "Path Telechargement : ";  // 22 characters

INSTANTIATE_TEST_SUITE_P(TraceLog, LogFormatBound,
                         ::testing::Values(FormatCase{"Short", 5, kPrefix + "ppppp\n"},
                                           FormatCase{"FillsTheBufferExactly", 253 - 22,
                                                      kPrefix + std::string(231, 'p') + "\n"},
                                           FormatCase{"OneTooLong", 254 - 22, kPrefix + std::string(231, 'p') + "\n"},
                                           FormatCase{"FarTooLong", 1000, kPrefix + std::string(231, 'p') + "\n"}),
                         [](const ::testing::TestParamInfo<FormatCase>& row) { return std::string(row.param.name); });

TEST_F(TraceLog, ReportLinePrintsComThenGeneralAsSignedValues)
{
    UseLog(log_);
    LogReport("_OpenCommSession NOK", -7, 2147483647);
    EXPECT_EQ(ReadFile(log_),
              LogText("_OpenCommSession NOK CompteRendu com = -7 CompteRendu g\xE9n\xE9ral = 2147483647\n"));
}

}  // namespace
