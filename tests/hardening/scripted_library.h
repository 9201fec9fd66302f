// An in-process communication library for the rows that reach internal operations: its
// answers come from `answers`, and it records what it was asked. _GetResult writes every
// byte it is asked for, so a length beyond the module's buffer is a detected overflow.
#pragma once

#include "board/command.h"
#include "link/library_contract.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace scripted_library {

struct Answers {
    int sendResult = 1;
    std::uint16_t general = 0;
    std::uint16_t com = 3;
    std::uint32_t replyLength = 0;
    int getResultReturn = 7;
    char replyByte = 'R';
};

extern Answers answers;
extern std::vector<std::uint8_t> sentCodes;        // command code of each _SendCommand
extern std::vector<std::uint32_t> fetchLengths;    // length of each _GetResult

// Resets answers and records and installs the scripted entry points (all nine).
void Install();

}  // namespace scripted_library

// The scripted library installed and the log in a scratch folder of its own.
class ScriptedLibraryTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Log() const { return testing_support::ReadFile(logPath_); }

    testing_support::ScratchFolder scratch_{"hardening"};
    std::string logPath_;
};
