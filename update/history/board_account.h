// What the tool believes about one board, worked out in one place from the update history
// and the board lock: what the board carries as far as the history knows, whether it may
// hold an incomplete application, whether an update of it runs now, and the release
// version a new file must not be older than. Every front end reads this account; none
// works it out from the records itself.
#pragma once

#include "history/history_attempts.h"
#include "manifest/manifest_check.h"
#include "module/board_lock.h"

#include <optional>
#include <string>
#include <vector>

namespace torvexupdate {

// What an attempt did to the board's flash.
enum class Write {
    kNone,        // nothing reached the flash: checks, skips, refusals by a manifest or the board
    kVerified,    // accepted, and the board reported the file's banner back
    kUnverified,  // accepted, but not compared with what the board reports, or found to differ
    kIncomplete,  // failed or interrupted: the flash may hold part of the file
    kRunning,     // being written now
};

// What `attempt` (one of Attempts()) did to its board's flash.
Write WriteOf(const Record& attempt);

struct BoardAccount {
    std::string board;  // the reference as recorded (UTF-8)
    // The newest attempt that wrote or may have written bytes into the board, and how.
    std::optional<Record> lastWrite;
    Write lastWriteKind = Write::kNone;
    // The oldest failed or interrupted write that no completed write has followed: the
    // board may hold an incomplete application since then.
    std::optional<Record> incompleteSince;
    // The update whose program holds the board lock now.
    std::optional<Record> running;
    // The release version a file must not be older than ("" for none), and the attempt
    // it came from: the newest that wrote (or found) a release on the board. Where the
    // site has trusted keys, only releases written through a trusted signature count.
    std::string floorVersion;
    std::optional<Record> floorFrom;

    bool MayBeIncomplete() const { return incompleteSince.has_value(); }
};

// The account of `board` (as recorded, UTF-8) over `attempts` (Attempts(), oldest first).
BoardAccount AccountOf(const std::vector<Record>& attempts, const std::string& board, bool siteTrustsKeys);

// The account of every board in `attempts`, in the order the boards first appear.
std::vector<BoardAccount> AccountsOf(const std::vector<Record>& attempts, bool siteTrustsKeys);

// The account of the board `reference` (as the module gives it) from the history at
// `historyPath`, `holder` being who holds the board lock now; an empty account when
// either is empty.
BoardAccount ReadBoardAccount(const std::string& historyPath, const std::string& reference,
                              const std::optional<LockHolder>& holder, bool siteTrustsKeys = false);

// Why a file with this banner and SHA-256 must be written although the board reports
// its banner, in words; "" when the skip stands: the board's newest write ended accepted
// and verified with this file's SHA-256, or the history knows no write of the board.
std::string WriteAgainBecause(const BoardAccount& account, const std::string& fileBanner, const std::string& sha256);

// What the incomplete write means for the person at the board: when, which file, by
// whom, and that the board may hold an incomplete application even if its banner looks
// right; `next`: what to do (a catalogue entry's text). "" when the board is complete.
std::string IncompleteWords(const BoardAccount& account, const std::string& next);

// The floor as a manifest check weighs it: the version, and where it came from.
VersionFloor FloorOf(const BoardAccount& account);

}  // namespace torvexupdate
