// An in-process stand-in for the communication library: plain functions of the
// contract's types, installed in the module's entry-point pointers. Each call is
// recorded as the library receives it and answered from the current test's script.
#pragma once

#include "board/command.h"
#include "link/library_contract.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace fake_library {

using Bytes = std::vector<std::uint8_t>;

// How one _SendCommand call answers. `fillStatus` false leaves the status as received.
struct SendAnswer {
    int result = 1;
    bool fillStatus = false;
    std::uint16_t general = 0;
    std::uint16_t com = 0;
    std::uint32_t replyLength = 0;
};

SendAnswer Status(int result, std::uint16_t general, std::uint16_t com, std::uint32_t replyLength = 0);

struct SendCall {
    Bytes request;   // the 12 request bytes
    Bytes status;    // the 8 status bytes before the library fills them
    bool payloadNull = false;
    Bytes payload;   // the `length` bytes behind the payload address
};

struct GetResultCall {
    int zero = -1;
    std::uint32_t replyLength = 0;
    bool bufferNull = false;
    Bytes buffer;    // replyLength + 1 bytes of the buffer as received
    Bytes report;    // the 12 report bytes as received
};

struct Script {
    std::deque<SendAnswer> sends;  // one per call, in order; the default answer after them
    SendAnswer defaultSend;
    Bytes reply;                   // copied into _GetResult's buffer, up to its length
    int getResultReturn = 1;
};

extern Script script;
extern std::vector<SendCall> sendCalls;
extern std::vector<GetResultCall> getResultCalls;

// Clears the script and the records, sets every entry point to null, then installs
// _SendCommand and _GetResult.
void Install();

Bytes Of(std::initializer_list<int> bytes);

}  // namespace fake_library

// A fixture with the fake library installed and the log in a scratch folder of its own.
class FakeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::string Log() const { return testing_support::ReadFile(logPath_); }

    testing_support::ScratchFolder scratch_{"board"};
    std::string logPath_;
};

// "_ExecuteCommand <label> CompteRendu com = <com> CompteRendu général = <general>\n"
std::string ReportLine(const std::string& label, unsigned com, unsigned general);

// The whole trace of a payload-free command (Saut_Appli, Reset_Board).
std::string SimpleTrace(const std::string& name, unsigned com, unsigned general);

// Request bytes but the padding (offset 3, which carries no meaning): 00 <code> AA,
// the timeout, then the length, little-endian.
fake_library::Bytes Request(int code, std::uint32_t timeout, std::uint32_t length);
fake_library::Bytes WithoutPadding(fake_library::Bytes request);
