// Board commands as the library sees them: request and status bytes, raw results passed
// up, the acceptance rule, and the exact trace of the payload-free commands.
#include "board/command.h"
#include "support/fake_library.h"
#include "support/trace_text.h"
#include "support/files.h"

#include <gtest/gtest.h>

using fake_library::Bytes;
using fake_library::Of;
using fake_library::Request;
using fake_library::sendCalls;
using fake_library::WithoutPadding;
using testing_support::CommandTrace;
using testing_support::LogText;

namespace {

const Bytes kPresetStatus = Of({0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00, 0x00});

struct SimpleCommand {
    const char* name;
    int (*run)(void);
    int code;
};

const SimpleCommand kSimpleCommands[] = {
    {"Reset_Board", &Reset_Board, 0x07},
    {"Saut_Appli", &Saut_Appli, 0x12},
};

}  // namespace

using SimpleCommandTest = FakeLibraryTest;

TEST_F(SimpleCommandTest, SendsItsCodeWithPresetStatusAndPassesTheRawResultUp)
{
    // The library leaves the status untouched: the report shows the preset com 3, general 0.
    for (const SimpleCommand& command : kSimpleCommands) {
        SCOPED_TRACE(command.name);
        fake_library::Install();
        testing_support::WriteFile(logPath_, "");
        fake_library::script.defaultSend.result = 5;

        EXPECT_EQ(command.run(), 5);
        ASSERT_EQ(sendCalls.size(), 1u);
        EXPECT_EQ(WithoutPadding(sendCalls[0].request),
                  Of({0x00, command.code, 0xAA, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}));
        EXPECT_EQ(sendCalls[0].status, kPresetStatus);
        EXPECT_TRUE(sendCalls[0].payloadNull);
        EXPECT_TRUE(fake_library::getResultCalls.empty());
        EXPECT_EQ(Log(), LogText(CommandTrace(command.name, 3, 0)));
    }
}

TEST_F(SimpleCommandTest, ReportCodesReachTheLogOnlyAndAreLoggedUnsigned)
{
    struct Case {
        int result;
        std::uint16_t general, com;
    };
    const Case cases[] = {{0, 0, 3}, {1, 9, 65535}, {-1, 65535, 50}, {2, 4, 1}};
    for (const SimpleCommand& command : kSimpleCommands) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(command.name) + " result " + std::to_string(c.result));
            fake_library::Install();
            testing_support::WriteFile(logPath_, "");
            fake_library::script.defaultSend = fake_library::Status(c.result, c.general, c.com, 77);

            EXPECT_EQ(command.run(), c.result);
            EXPECT_EQ(Log(), LogText(CommandTrace(command.name, c.com, c.general)));
        }
    }
}

TEST_F(SimpleCommandTest, UnresolvedSendCommandWritesTheEntryLineOnly)
{
    for (const SimpleCommand& command : kSimpleCommands) {
        SCOPED_TRACE(command.name);
        testing_support::WriteFile(logPath_, "");
        _SendCommand = nullptr;
        EXPECT_EQ(command.run(), 0);
        EXPECT_EQ(Log(), LogText("\nEntre " + std::string(command.name) + "\n"));
    }
}

TEST_F(SimpleCommandTest, StatusIsPresetBeforeEveryCallWhateverItHeld)
{
    CommandStatus status;
    status.general = 0xFFFF;
    status.com = 0xFFFF;
    status.replyLength = 0xFFFFFFFF;
    char payload[] = {'\x01', '\x02', '\x03', '\x04'};
    fake_library::script.sends = {fake_library::Status(7, 2, 50, 9)};

    EXPECT_EQ(SendBoardCommand(kCmdDownload, kDownloadTimeout, payload, sizeof payload, status), 7);
    EXPECT_EQ(SendBoardCommand(kCmdDownload, kDownloadTimeout, payload, sizeof payload, status), 1);
    ASSERT_EQ(sendCalls.size(), 2u);
    for (const fake_library::SendCall& call : sendCalls) {
        EXPECT_EQ(call.status, kPresetStatus);
        EXPECT_EQ(WithoutPadding(call.request), Request(0x30, 10000, 4));
        EXPECT_EQ(call.payload, Of({1, 2, 3, 4}));
    }
}

TEST(CommandAccepted, FollowsTheAcceptanceRule)
{
    struct Case {
        int sent;
        std::uint16_t general, com;
        bool accepted;
    };
    const Case cases[] = {
        {0, 0, 3, false},  {0, 4, 1, false},     {1, 0, 3, true},     {-1, 0, 3, true},
        {1, 4, 1, true},   {5, 0xFFFF, 1, true}, {1, 4, 3, false},    {1, 0, 1, true},
        {1, 0, 37, false}, {1, 0, 0, false},     {1, 0x10, 3, false}, {1, 0, 0x103, false},
    };
    for (const Case& c : cases) {
        CommandStatus status;
        status.general = c.general;
        status.com = c.com;
        status.replyLength = 0;
        EXPECT_EQ(CommandAccepted(c.sent, status), c.accepted)
            << "sent " << c.sent << " general " << c.general << " com " << c.com;
    }
}
