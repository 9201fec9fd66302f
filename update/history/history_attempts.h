// Update attempts in the history. Before the module is given a file, the engine appends a
// `started` record and commits it to the disk; when the update ends it appends the outcome
// record with the same id. A started record that no outcome follows is an update that was
// interrupted (the program killed, the machine switched off): the board may hold part of
// the application. This file pairs the records and says what they mean for one board.
#pragma once

#include "history/history.h"

#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

// A record's kind is field::kRecordKind: kStartedKind on write-ahead records; outcome
// records have no such field (every record written before there were two kinds is an
// outcome).

// A new id for one update: the time, this process and random bits, so that records of
// several programs and machines in one history never share an id.
std::string NewUpdateId();

bool IsStartedRecord(const Record& record);

// One record per attempt, in the order the attempts started: each outcome record as it
// is, and in place of each started record that no outcome of the same id follows, a copy
// of it with the outcome interrupted (and no record kind). Started records that have
// their outcome are left out, their outcome stands for them.
std::vector<Record> Attempts(const std::vector<Record>& records);

// What the history says about one board before an update or a query.
struct BoardHistory {
    // The newest attempt on the board, when it was interrupted.
    std::optional<Record> interrupted;
    // Why the file must be written even though the board already reports its banner; ""
    // when nothing in the history contradicts the skip.
    std::string writeAgainBecause;
};

// `board`: the board's reference as recorded (UTF-8); `fileBanner` and `sha256`: the file
// about to be written, as recorded ("" when unknown).
BoardHistory StandingOf(const std::vector<Record>& attempts, const std::string& board, const std::string& fileBanner,
                        const std::string& sha256);

// The boards whose newest attempt was interrupted, each with that attempt.
std::vector<Record> InterruptedBoards(const std::vector<Record>& attempts);

// What an interrupted attempt means, in words for the person at the board: when, which
// file, by what, and that the board may hold an incomplete application even if its
// banner looks right. `next`: what to do, in the front end's words.
std::string InterruptedWords(const Record& attempt, const std::string& next);

}  // namespace torvexupdate
