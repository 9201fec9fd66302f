// The sentences the front ends show about an update's outcome, each one entry of a
// catalogue, with named placeholders ("{reason}") where it carries values. Callers name an
// entry and give its values; which language the entry is written in is the catalogue's
// business alone (English: messages_en.cpp).
#pragma once

#include <initializer_list>
#include <string>

namespace torvexupdate {

enum class Message {
    kNone,  // no sentence: the empty text
    // How an outcome reads in the history table and the window's list.
    kWordFileUnreadable,
    kWordFileEmpty,
    kWordNotApplication,
    kWordPathUnusable,
    kWordBoardUnavailable,
    kWordSkipped,
    kWordAccepted,
    kWordVerifyMismatch,
    kWordVerifyFailed,
    kWordRefused,
    kWordFailed,
    kWordManifestRefused,
    kWordInterrupted,
    kWordRunning,
    // The window's headline over an outcome.
    kHeadlineAccepted,
    kHeadlineAcceptedUnverified,
    kHeadlineSkipped,
    kHeadlineNotApplication,
    kHeadlinePathUnusable,
    kHeadlineFileUnreadable,
    kHeadlineManifestRefused,
    kHeadlineBoardUnavailable,
    kHeadlineVerifyMismatch,
    kHeadlineVerifyFailed,
    kHeadlineRefused,  // {after_failure}: an after-failure headline clause
    kHeadlineFailed,   // {after_failure}
    kHeadlineInterrupted,
    kHeadlineRunning,
    kHeadlineWriteFailed,  // the board's last write failed: it may hold an incomplete application
    // The record's result words: one sentence for the history.
    kRecordFileUnreadable,
    kRecordFileEmpty,
    kRecordNotApplication,
    kRecordPathUnusable,
    kRecordBoardUnavailable,
    kRecordSkipped,
    kRecordAccepted,
    kRecordAcceptedVerified,
    kRecordVerifyMismatch,
    kRecordVerifyFailed,
    kRecordManifestRefused,  // {reason}
    kRecordDownloadFailed,   // {download_result}, {after_failure}: an after-failure record clause
    kRecordInterrupted,
    kRecordRunning,  // {since}, {who}
    // The window's details under the headline, then what to do next.
    kWindowAccepted,  // {banner}
    kWindowAcceptedUnverified,
    kWindowSkipped,         // {banner}
    kWindowNotApplication,  // {reason}
    kWindowPathUnusable,    // {reason}
    kWindowFileUnreadable,
    kWindowBoardUnavailable,
    kWindowVerifyMismatch,  // {board_now}
    kWindowVerifyFailed,
    kWindowManifestRefused,  // {reason}, {advice}
    // torvexctl's line for an outcome it reports before the board is reached, or a skip.
    kConsoleFileEmpty,       // {path}
    kConsoleNotApplication,  // {path}, {reason}
    kConsolePathUnusable,    // {full_path}, {reason}
    kConsoleSkipped,
    // What the board carries after a download that did not succeed.
    kBoardAfterUnchangedRecord,
    kBoardAfterUnchangedHeadline,
    kBoardAfterRefusedUnchangedWindow,  // {download_result}, {board_now}
    kBoardAfterUnchangedWindow,         // {download_result}, {board_now}
    kBoardAfterWrittenNotStartedRecord,
    kBoardAfterWrittenNotStartedHeadline,
    kBoardAfterWrittenNotStartedWindow,  // {download_result}, {banner}
    kBoardAfterEmptyRecord,
    kBoardAfterEmptyHeadline,
    kBoardAfterEmptyWindow,  // {download_result}
    kBoardAfterOtherRecord,
    kBoardAfterOtherHeadline,
    kBoardAfterOtherWindow,  // {download_result}, {board_now}
    kBoardAfterUnknownRecord,
    kBoardAfterUnknownHeadline,
    kBoardAfterUnknownWindow,  // {download_result}
    // The board's account, for the person at the board: its last write interrupted or
    // failed, an update running, who made an attempt.
    kInterruptedNotice,    // {reference}, {who}, {path}, {when}, {next}
    kFailedWriteNotice,    // {reference}, {who}, {path}, {when}, {result}, {next}
    kRunningWindow,        // {running}: RunningWords, {path}
    kProgramOnStation,     // {who}, {station}
    kOperatorWithProgram,  // {operator}, {who}
    // What to do about a board that may hold an incomplete application ({next} above).
    kNextQueryWriteAgain,
    kNextDownloadWritesInFull,
    kNextWindowWriteAgain,
    kNextUpdateWritesInFull,
    // Why the application the board reports is written again.
    kWriteAgainInterrupted,       // {when}, {path}
    kWriteAgainFailed,            // {when}, {path}, {result}
    kWriteAgainNotCompared,       // {when}, {path}
    kWriteAgainEnded,             // {when}, {path}, {outcome}, {result}
    kWriteAgainOtherBytes,        // {when}, {path}, {recorded}, {sha256}: the digests' first digits
    kWriteAgainOtherApplication,  // {when}, {path}, {banner}
    // A file older than the board's version floor, and where the floor came from.
    kOlderThanCarried,  // {version}, {floor}
    kOlderThanWritten,  // {version}, {floor}, {path}, {when}, {who}
    kOlderThanFound,    // {version}, {floor}, {path}, {when}, {who}
    kCount
};

// One value for a placeholder: {name} in the entry stands for `value`.
struct Placeholder {
    const char* name;
    std::string value;
};

// The entry's text with its placeholders filled in. A placeholder given no value stays as
// written, so that a missing value shows instead of vanishing.
std::string Say(Message message, std::initializer_list<Placeholder> values = {});

}  // namespace torvexupdate
