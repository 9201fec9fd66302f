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
    kRecordRunning,
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
    // An interrupted update, for the person at the board.
    kInterruptedNotice,  // {reference}, {who}, {path}, {when}, {next}
    kProgramOnStation,   // {who}, {station}
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
