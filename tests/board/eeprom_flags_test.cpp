// The EEPROM flag commands: what the library receives, what the caller gets back in its
// out arguments, and the exact trace of each operation.
#include "board/eeprom_flags.h"
#include "support/fake_library.h"
#include "support/trace_text.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdlib>

using fake_library::Bytes;
using fake_library::getResultCalls;
using fake_library::Of;
using fake_library::Request;
using fake_library::sendCalls;
using fake_library::Status;
using fake_library::WithoutPadding;
using testing_support::CommandReport;
using testing_support::CommandTrace;
using testing_support::Exit;
using testing_support::LogText;

namespace {

std::string ReadTrace(unsigned com, unsigned general)
{
    return testing_support::Entry("Read_FlagEEPROM") + CommandReport("Read_FlagEEPROM", com, general)
        + Exit("Read_FlagEEPROM");
}

}  // namespace

using ReadFlagTest = FakeLibraryTest;

TEST_F(ReadFlagTest, ResultsOutArgumentsAndReplyFetch)
{
    const std::uint32_t kBound = static_cast<std::uint32_t>(kMaxFlagReplyLength);
    struct Case {
        const char* name;
        fake_library::SendAnswer answer;
        bool getResultResolved;
        int getResultReturn;
        int expected;
        bool lengthSet;       // the out reply length takes the status's replyLength
        bool replyAllocated;  // a buffer of replyLength + 1 bytes reaches the caller
    };
    const Case cases[] = {
        {"reply fetched", Status(1, 0, 3, 3), true, 7, 7, true, true},
        {"reply fetch fails", Status(1, 0, 3, 3), true, 0, 0, true, true},
        {"com 1 with general 4 is accepted", Status(1, 4, 1, 2), true, 1, 1, true, true},
        {"largest reply accepted", Status(1, 0, 3, kBound), true, 1, 1, true, true},
        {"no reply", Status(1, 0, 3, 0), true, 9, 1, true, false},
        {"status untouched", fake_library::SendAnswer{}, true, 9, 1, true, false},
        {"_GetResult unresolved", Status(1, 0, 3, 5), false, 9, 1, true, false},
        {"com 3 with general 4 is refused", Status(1, 4, 3, 5), true, 9, 0, false, false},
        {"send returned 0", Status(0, 0, 3, 5), true, 9, 0, false, false},
        {"com 37 is refused", Status(1, 0, 37, 5), true, 9, 0, false, false},
        {"reply above the bound", Status(1, 0, 3, kBound + 1), true, 9, 0, false, false},
        {"reply length 0xFFFFFFFF", Status(1, 0, 3, 0xFFFFFFFFu), true, 9, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_library::Install();
        testing_support::WriteFile(logPath_, "");
        if (!c.getResultResolved)
            _GetResult = nullptr;
        fake_library::script.sends = {c.answer};
        fake_library::script.getResultReturn = c.getResultReturn;
        fake_library::script.reply = Of({0x11, 0x22, 0x33});

        char request[] = {'\x41', '\x00', '\xFE'};
        char untouched = 0;
        char* reply = &untouched;
        unsigned long replyLength = 12345;
        EXPECT_EQ(Read_FlagEEPROM(request, sizeof request, &reply, replyLength), c.expected);

        ASSERT_EQ(sendCalls.size(), 1u);
        EXPECT_EQ(WithoutPadding(sendCalls[0].request), Request(0x09, 100, 3));
        EXPECT_EQ(sendCalls[0].payload, Of({0x41, 0x00, 0xFE}));
        EXPECT_EQ(replyLength, c.lengthSet ? c.answer.replyLength : 12345UL);
        EXPECT_EQ(getResultCalls.size(), c.replyAllocated ? 1u : 0u);
        if (c.replyAllocated) {
            ASSERT_NE(reply, &untouched);
            const fake_library::GetResultCall& fetch = getResultCalls[0];
            EXPECT_EQ(fetch.zero, 0);
            EXPECT_EQ(fetch.replyLength, c.answer.replyLength);
            EXPECT_EQ(fetch.buffer, Bytes(c.answer.replyLength + 1, 0)) << "buffer not cleared";
            EXPECT_EQ(fetch.report, Of({0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0}));
            // What the library wrote, then zeros up to the extra terminating byte.
            Bytes got(reply, reply + c.answer.replyLength + 1);
            Bytes want(c.answer.replyLength + 1, 0);
            std::copy(fake_library::script.reply.begin(),
                      fake_library::script.reply.begin() + std::min<std::size_t>(3, c.answer.replyLength),
                      want.begin());
            EXPECT_EQ(got, want);
            std::free(reply);
        } else {
            EXPECT_EQ(reply, &untouched);
        }
        unsigned com = c.answer.fillStatus ? c.answer.com : 3;
        unsigned general = c.answer.fillStatus ? c.answer.general : 0;
        EXPECT_EQ(Log(), LogText(ReadTrace(com, general)));
    }
}

TEST_F(ReadFlagTest, UnresolvedSendCommandWritesTheEntryLineOnly)
{
    _SendCommand = nullptr;
    char request[] = {'\x01'};
    char untouched = 0;
    char* reply = &untouched;
    unsigned long replyLength = 99;
    EXPECT_EQ(Read_FlagEEPROM(request, 1, &reply, replyLength), 0);
    EXPECT_EQ(reply, &untouched);
    EXPECT_EQ(replyLength, 99UL);
    EXPECT_EQ(Log(), LogText(testing_support::Entry("Read_FlagEEPROM")));
}

using WriteFlagTest = FakeLibraryTest;

TEST_F(WriteFlagTest, AcceptedWriteLogsEachByteThenStartsAndResets)
{
    // The follow-up commands' own results and codes do not change the write's result or
    // its report line, which comes last.
    fake_library::script.sends = {Status(1, 4, 1), Status(0, 2, 50), Status(1, 0, 65535)};
    char data[] = {'\x0A', '\xFF', '\x00'};
    EXPECT_EQ(Write_FlagEEPROM(data, sizeof data), 1);

    ASSERT_EQ(sendCalls.size(), 3u);
    EXPECT_EQ(WithoutPadding(sendCalls[0].request), Request(0x0C, 100, 3));
    EXPECT_EQ(sendCalls[0].payload, Of({0x0A, 0xFF, 0x00}));
    EXPECT_EQ(WithoutPadding(sendCalls[1].request), Request(0x12, 100, 0));
    EXPECT_EQ(WithoutPadding(sendCalls[2].request), Request(0x07, 100, 0));
    EXPECT_TRUE(getResultCalls.empty());
    EXPECT_EQ(Log(),
              LogText("\nEntre Write_FlagEEPROM"
                      "\nDonn\xE9"
                      "es envoy\xE9"
                      "es dans EEPROM : \n"
                      "0A \n"
                      "FF \n"
                      "00 \n"
                      + CommandTrace("Saut_Appli", 50, 2) + CommandTrace("Reset_Board", 65535, 0)
                      + CommandReport("Write_FlagEEPROM", 1, 4) + Exit("Write_FlagEEPROM")));
}

TEST_F(WriteFlagTest, RefusedOrEmptyWrites)
{
    struct Case {
        const char* name;
        unsigned long count;
        fake_library::SendAnswer answer;
        int expected;
    };
    const Case cases[] = {
        {"refused: com 3 general 4", 2, Status(1, 4, 3), 0},
        {"refused: send returned 0", 2, Status(0, 0, 3), 0},
        {"zero bytes, refused", 0, Status(1, 0, 19), 0},
        {"zero bytes, accepted", 0, Status(1, 0, 3), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_library::Install();
        testing_support::WriteFile(logPath_, "");
        fake_library::script.sends = {c.answer};
        char data[] = {'\x5A', '\x01'};
        EXPECT_EQ(Write_FlagEEPROM(data, c.count), c.expected);

        ASSERT_EQ(sendCalls.size(), c.expected == 1 ? 3u : 1u);
        EXPECT_EQ(WithoutPadding(sendCalls[0].request), Request(0x0C, 100, static_cast<std::uint32_t>(c.count)));
        EXPECT_EQ(sendCalls[0].payload, Bytes(data, data + c.count));
        std::string trace = "\nEntre Write_FlagEEPROM\nDonn\xE9"
                            "es envoy\xE9"
                            "es dans EEPROM : \n";
        if (c.count == 2)
            trace += "5A \n01 \n";
        if (c.expected == 1)
            trace += CommandTrace("Saut_Appli", 3, 0) + CommandTrace("Reset_Board", 3, 0);
        trace += CommandReport("Write_FlagEEPROM", c.answer.com, c.answer.general) + Exit("Write_FlagEEPROM");
        EXPECT_EQ(Log(), LogText(trace));
    }
}

TEST_F(WriteFlagTest, UnresolvedSendCommandWritesTheEntryLineOnly)
{
    _SendCommand = nullptr;
    char data[] = {'\x01'};
    EXPECT_EQ(Write_FlagEEPROM(data, 1), 0);
    EXPECT_EQ(Log(), LogText("\nEntre Write_FlagEEPROM"));
}

using TestFlagTest = FakeLibraryTest;

TEST_F(TestFlagTest, ReadsTheFlagByteWithItsFixedRequest)
{
    struct Case {
        const char* name;
        bool resolved;
        fake_library::SendAnswer answer;
        int getResultReturn;
        int expected;
        bool valueRead;
    };
    const Case cases[] = {
        {"flag byte read", true, Status(1, 0, 3, 2), 1, 1, true},
        {"fetch result passed up", true, Status(1, 0, 1, 1), 6, 6, true},
        {"no reply", true, Status(1, 0, 3, 0), 1, 1, false},
        {"refused", true, Status(1, 4, 3, 1), 1, 0, false},
        {"fetch fails", true, Status(1, 0, 3, 1), 0, 0, false},
        {"_SendCommand unresolved", false, Status(1, 0, 3, 1), 1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake_library::Install();
        testing_support::WriteFile(logPath_, "");
        if (!c.resolved)
            _SendCommand = nullptr;
        fake_library::script.sends = {c.answer};
        fake_library::script.getResultReturn = c.getResultReturn;
        fake_library::script.reply = Of({0x5C, 0x77});

        unsigned char value = 0xA5;
        EXPECT_EQ(Test_FlagEEPROM(value), c.expected);
        EXPECT_EQ(value, c.valueRead ? 0x5C : 0xA5);

        std::string trace = "\nEntre Test_FlagEEPROM";
        if (c.resolved) {
            ASSERT_EQ(sendCalls.size(), 1u);
            EXPECT_EQ(WithoutPadding(sendCalls[0].request), Request(0x09, 100, 5));
            EXPECT_EQ(sendCalls[0].payload, Of({0xFF, 0xFF, 0x01, 0x00, 0x01}));
            trace += ReadTrace(c.answer.com, c.answer.general);
        } else {
            trace += testing_support::Entry("Read_FlagEEPROM");
        }
        if (c.valueRead)
            trace += "Valeur lue dans EEPROM : 5C \n";
        EXPECT_EQ(Log(), LogText(trace + "Sort Test_FlagEEPROM\n"));
    }
}
