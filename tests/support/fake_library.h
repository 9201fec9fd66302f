// An in-process stand-in for the communication library, for the tests that link the
// module's objects: plain functions of the contract's types, installed in the module's
// entry-point pointers. Each call is recorded as the library receives it and answered
// from the current test's script.
#pragma once

#include "board/command.h"
#include "link/library_contract.h"
#include "support/files.h"

#include <gtest/gtest.h>

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
    std::uint8_t code = 0;  // the command code, always recorded
    Bytes request;          // the 12 request bytes
    Bytes status;           // the 8 status bytes before the library fills them
    bool payloadNull = false;
    Bytes payload;  // the `length` bytes behind the payload address
};

struct GetResultCall {
    int zero = -1;
    std::uint32_t replyLength = 0;  // always recorded
    bool bufferNull = false;
    Bytes buffer;  // replyLength + 1 bytes of the buffer as received
    Bytes report;  // the 12 report bytes as received
};

struct Script {
    std::deque<SendAnswer> sends;  // one per call, in order; the default answer after them
    SendAnswer defaultSend;
    Bytes reply;  // copied into _GetResult's buffer, up to its length
    int getResultReturn = 1;
    // When 0-255, _GetResult first writes this byte to every byte it is asked for, so a
    // length beyond the module's buffer is a detected overflow.
    int replyFill = -1;
    // False: only codes and lengths are recorded, so that recording a call never allocates
    // (the records are reserved) while the heap is being counted.
    bool recordBytes = true;
};

extern Script script;
extern std::vector<SendCall> sendCalls;
extern std::vector<GetResultCall> getResultCalls;

// Clears the script and the records, sets every entry point to null, then installs
// _SendCommand and _GetResult.
void Install();

// Installs all nine entry points as a healthy board (the router is made, the board
// initialised, sessions open with the {0, 3, 0} preset, none listed) whose commands
// answer general 0, com 3, fetches 7 and fill the reply with 'R'; records no bytes.
void InstallAll();

std::vector<std::uint8_t> SentCodes();      // the code of each _SendCommand
std::vector<std::uint32_t> FetchLengths();  // the length of each _GetResult

Bytes Of(std::initializer_list<int> bytes);

// Request bytes but the padding (offset 3, which carries no meaning): 00 <code> AA,
// the timeout, then the length, little-endian.
Bytes Request(int code, std::uint32_t timeout, std::uint32_t length);
Bytes WithoutPadding(Bytes request);

}  // namespace fake_library

// A fixture with the fake library installed (Install) and the log in a scratch folder of
// its own; the module starts uninitialised.
class FakeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Log() const { return testing_support::ReadFile(logPath_); }

    testing_support::ScratchFolder scratch_{"fake-library"};
    std::string logPath_;
};
