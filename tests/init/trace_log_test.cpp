// The trace log in-process: the module's objects linked in, the log path set directly.
#include "log/trace_log.h"
#include "platform/platform.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The same when another writer left the Ctrl-Z after a message of the module's own.
TEST_F(TraceLog, FinalCtrlZLeftByAnotherWriterAfterAMessage)
{
    UseLog(log_);
    WriteStringToLog("first\n");
    testing_support::WriteFile(log_, ReadFile(log_) + "V1\x1A");
    WriteStringToLog("\n");
#if defined(_WIN32)
    EXPECT_EQ(ReadFile(log_), "first\r\nV1\r\n");
#else
    EXPECT_EQ(ReadFile(log_), "first\nV1\x1A\n");
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

double SecondsTaken(const std::function<void()>& call)
{
    auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A reader that keeps the log open sharing writes (a viewer, an editor, the hosts' tail)
// neither stops the messages nor misses one.
TEST_F(TraceLog, ReaderKeepingTheLogOpenReadsEachMessage)
{
    UseLog(log_);
    ASSERT_EQ(WriteStringToLog("first\n"), 1);
    std::FILE* reader = std::fopen(log_.c_str(), "rb");
    ASSERT_NE(reader, nullptr);
    std::string seen;
    for (const char* message : {"", "second\n", "third\n"}) {
        EXPECT_EQ(WriteStringToLog(message), 1);
        char chunk[64];
        std::fseek(reader, 0, SEEK_CUR);  // past the end of file: read on from here
        for (std::size_t count; (count = std::fread(chunk, 1, sizeof chunk, reader)) > 0;)
            seen.append(chunk, count);
    }
    std::fclose(reader);
    EXPECT_EQ(seen, LogText("first\nsecond\nthird\n"));
}

#if defined(_WIN32)
struct HolderCase {
    const char* name;
    DWORD access;
    DWORD share;
    bool written;  // false: the messages are dropped while it holds the log
};

class LogHeldByAnotherProgram : public TraceLog, public ::testing::WithParamInterface<HolderCase> { };

// Another program keeps the log open. A viewer, or an editor ready to save, that shares
// writes leaves the messages coming. One that does not share writes keeps every appender
// off: a message waits for it a bounded time, then is dropped as when the log cannot be
// opened, and while it stays held the next ones give up sooner; once it is let go they
// are appended again.
TEST_P(LogHeldByAnotherProgram, MessagesGoOnOrAreDroppedAfterABoundedWait)
{
    const HolderCase& row = GetParam();
    UseLog(log_);
    ASSERT_EQ(WriteStringToLog("before\n"), 1);
    HANDLE holder = CreateFileA(log_.c_str(), row.access, row.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    int expected = row.written ? 1 : 0;
    double first = SecondsTaken([&] { EXPECT_EQ(WriteStringToLog("while held\n"), expected); });
    double next = SecondsTaken([&] { EXPECT_EQ(WriteStringToLog("still held\n"), expected); });
    CloseHandle(holder);
    EXPECT_EQ(WriteStringToLog("after\n"), 1);
    EXPECT_EQ(ReadFile(log_), LogText(row.written ? "before\nwhile held\nstill held\nafter\n" : "before\nafter\n"));
    if (row.written) {
        EXPECT_LT(first, 0.45);  // neither waited the whole bound
        EXPECT_LT(next, 0.45);
    } else {
        EXPECT_GE(first, 0.45);  // it waited for the holder...
        EXPECT_LT(first, 5.0);   // ...for a bounded time
        EXPECT_LT(next, 0.25);
    }
}

INSTANTIATE_TEST_SUITE_P(TraceLog, LogHeldByAnotherProgram,
                         ::testing::Values(HolderCase{"ViewerSharingWrites", GENERIC_READ,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, true},
                                           HolderCase{"EditorSharingWrites", GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, true},
                                           HolderCase{"ReaderNotSharingWrites", GENERIC_READ, FILE_SHARE_READ, false}),
                         [](const ::testing::TestParamInfo<HolderCase>& row) { return std::string(row.param.name); });

// While an editor keeps the log open for writing, appenders share writes with it, and
// still exclude each other: every line arrives whole, none over another.
TEST_F(TraceLog, AppendersBesideAnEditorStillWriteWholeLines)
{
    constexpr int kAppenders = 3;
    constexpr int kLines = 40;
    HANDLE editor = CreateFileA(log_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    auto line = [](int appender, int number) {
        return "appender " + std::to_string(appender) + " line " + std::to_string(number) + std::string(60, '.');
    };
    std::vector<std::thread> appenders;
    for (int appender = 0; appender < kAppenders; ++appender) {
        appenders.emplace_back([&, appender] {
            for (int number = 0; number < kLines; ++number)
                EXPECT_EQ(
                    Platform_AppendLocked(log_.c_str(), (line(appender, number) + "\n").c_str(), kLogSizeLimit, 5000),
                    AppendResult::Written);
        });
    }
    for (std::thread& appender : appenders)
        appender.join();
    CloseHandle(editor);
    std::vector<std::string> lines = testing_support::SplitLines(ReadFile(log_));
    std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(kAppenders * kLines));
    for (int appender = 0; appender < kAppenders; ++appender) {
        for (int number = 0; number < kLines; ++number)
            EXPECT_EQ(distinct.count(line(appender, number)), 1u) << line(appender, number);
    }
}
#else
// An appender that hangs while it has the log (here blocked writing to a pipe that nobody
// reads) keeps the others off for a bounded time only; one that dies leaves it to the next.
TEST_F(TraceLog, AppenderThatHangsHoldsTheOthersOffForABoundedTime)
{
    ASSERT_EQ(mkfifo(log_.c_str(), 0600), 0);
    UseLog(log_);
    int reader = open(log_.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    pid_t hung = fork();
    ASSERT_GE(hung, 0);
    if (hung == 0) {
        std::string flood(1 << 20, 'h');  // more than a pipe holds: the write blocks
        WriteStringToLog(flood.c_str());
        _exit(0);
    }
    int pending = 0;
    for (int i = 0; i < 1000 && pending == 0; ++i) {
        usleep(10000);
        ioctl(reader, FIONREAD, &pending);
    }
    ASSERT_GT(pending, 0) << "the hanging appender never wrote";
    double first = SecondsTaken([] { EXPECT_EQ(WriteStringToLog("dropped\n"), 0); });
    double next = SecondsTaken([] { EXPECT_EQ(WriteStringToLog("dropped too\n"), 0); });
    kill(hung, SIGKILL);
    waitpid(hung, nullptr, 0);
    char chunk[4096];
    while (read(reader, chunk, sizeof chunk) > 0) {
    }
    EXPECT_EQ(WriteStringToLog("after\n"), 1);
    ssize_t count = read(reader, chunk, sizeof chunk);
    EXPECT_EQ(std::string(chunk, count > 0 ? static_cast<std::size_t>(count) : 0), "after\n");
    close(reader);
    EXPECT_GE(first, 0.45);
    EXPECT_LT(first, 5.0);
    EXPECT_LT(next, 0.25);
}

// Appenders in several processes, with messages all of one size: every line arrives whole
// and, whatever their order, the log is emptied after as many messages as when one process
// writes them all, so that the count left at the end is fixed; a message lost to another's
// emptying would shift it.
TEST_F(TraceLog, ProcessesAppendWholeLinesAcrossTheEmptyings)
{
    constexpr int kWriters = 4;
    constexpr int kMessages = 300;
    constexpr std::size_t kSize = 40000;  // "\n" included: 125 messages fill the log to its limit
    UseLog(log_);
    testing_support::WriteFile(log_, std::string(kLogSizeLimit - 1000, 'x'));  // the first message empties it
    auto message = [](int writer, int number) {
        std::string text = "writer " + std::to_string(writer) + " message " + std::to_string(number) + " ";
        return text + std::string(kSize - 1 - text.size(), '.') + "\n";
    };
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gate[1]);
            char byte = 0;
            while (read(gate[0], &byte, 1) < 0) {  // returns 0 once the gate is closed
            }
            for (int number = 1; number <= kMessages; ++number)
                WriteStringToLog(message(writer, number).c_str());
            _exit(0);
        }
        writers.push_back(pid);
    }
    close(gate[0]);
    close(gate[1]);  // all start at once
    for (pid_t pid : writers) {
        int status = -1;
        waitpid(pid, &status, 0);
        EXPECT_EQ(status, 0);
    }

    // Emptied by the first message, then by every 126th.
    std::vector<std::string> lines = testing_support::SplitLines(ReadFile(log_));
    EXPECT_EQ(lines.size(), (kWriters * kMessages - 1) % (kLogSizeLimit / kSize + 1));
    std::set<std::string> distinct;
    for (const std::string& line : lines) {
        int writer = -1;
        int number = -1;
        std::sscanf(line.c_str(), "writer %d message %d", &writer, &number);
        EXPECT_EQ(line + "\n", message(writer, number)) << "torn line: " << line.substr(0, 40);
        EXPECT_TRUE(distinct.insert(line).second) << "written twice: " << line.substr(0, 40);
    }
}
#endif

}  // namespace
