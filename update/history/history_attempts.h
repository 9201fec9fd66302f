// Update attempts in the history. Before the module is given a file, the engine appends a
// `started` record and commits it to the disk; when the update ends it appends the outcome
// record with the same id. A started record that no outcome follows is an update still
// running, when its program holds the board lock, else one that was interrupted (the
// program killed, the machine switched off): the board may hold part of the application.
// This file pairs the records; board_account.h says what they mean for one board.
#pragma once

#include "history/history.h"
#include "module/board_lock.h"

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
// of it (without record kind) whose outcome is running when `holder` (who holds the board
// lock now) runs that update, else interrupted. Started records that have their outcome
// are left out, their outcome stands for them.
std::vector<Record> Attempts(const std::vector<Record>& records, const std::optional<LockHolder>& holder);

// Who made an attempt: "torvexctl on STATION-4", "Ann Lee with torvexctl on STATION-4".
std::string WhoWords(const Record& attempt);

// "running since 10:51, torvexgui on STATION-4": an attempt that runs, its start in this
// computer's local time.
std::string RunningWords(const Record& attempt);

}  // namespace torvexupdate
