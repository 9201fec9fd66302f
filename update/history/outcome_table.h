// Every outcome of an update attempt, one row each: its stored name, the words a person
// reads, how serious it is, the window's headline, the sentence the record keeps, what the
// window says next, torvexctl's line and exit status. Front ends look an outcome up here
// rather than switch over it; texts are catalogue entries (words/messages.h).
#pragma once

#include "history/record_schema.h"
#include "words/messages.h"

#include <cstddef>
#include <string>

namespace torvexupdate {

enum class Outcome {
    kFileUnreadable,  // missing, unreadable or a folder
    kFileEmpty,
    kNotApplication,    // refused by the check (no --force)
    kPathUnusable,      // the path cannot be handed to the module
    kBoardUnavailable,  // the module could not be loaded or initialised
    kSkipped,           // the board already carries this application
    kAccepted,          // downloaded, started and (when asked) verified
    kVerifyMismatch,    // accepted, but the board reports another banner or none
    kVerifyFailed,      // accepted, but the read-back failed
    kRefused,           // the board refused the download (-2)
    kFailed,            // the download failed (-1, 0 or another value)
    kManifestRefused,   // the file's manifest, its signature or the board contradicts it
    // Never an engine's result: what the history makes of a started record without outcome.
    kInterrupted,  // its program is gone: the board may hold part of the application
    kRunning,      // its program still holds the board interface
};

// How an outcome reads at a glance, shown with the system's icon of the same name.
enum class Severity { kInformation, kWarning, kError };

// torvexctl's exit status for an outcome that never ends a torvexctl run.
constexpr int kNoExitCode = -1;

struct OutcomeRow {
    Outcome outcome;
    const char* name;  // in records, JSON and CSV (record_schema.h)
    Message word;      // in the history table and the window's list
    Severity severity;
    Message headline;  // the window's headline
    Message record;    // the record's result words
    Message window;    // the window's details and what to do next (kNone: said another way)
    Message console;   // torvexctl's line, where it says one of its own (else kNone)
    int exitCode;      // torvexctl's exit status (cli/exit_codes.h); with kBoardUnavailable,
                       // 3 when the module cannot even be loaded
};

// clang-format off
inline constexpr OutcomeRow kOutcomeTable[] = {
    {Outcome::kFileUnreadable, outcome_name::kFileUnreadable, Message::kWordFileUnreadable, Severity::kWarning,
     Message::kHeadlineFileUnreadable, Message::kRecordFileUnreadable, Message::kWindowFileUnreadable, Message::kNone, 9},
    {Outcome::kFileEmpty, outcome_name::kFileEmpty, Message::kWordFileEmpty, Severity::kWarning,
     Message::kHeadlineFileUnreadable, Message::kRecordFileEmpty, Message::kWindowFileUnreadable,
     Message::kConsoleFileEmpty, 9},
    {Outcome::kNotApplication, outcome_name::kNotApplication, Message::kWordNotApplication, Severity::kWarning,
     Message::kHeadlineNotApplication, Message::kRecordNotApplication, Message::kWindowNotApplication,
     Message::kConsoleNotApplication, 10},
    {Outcome::kPathUnusable, outcome_name::kPathUnusable, Message::kWordPathUnusable, Severity::kWarning,
     Message::kHeadlinePathUnusable, Message::kRecordPathUnusable, Message::kWindowPathUnusable,
     Message::kConsolePathUnusable, 11},
    {Outcome::kBoardUnavailable, outcome_name::kBoardUnavailable, Message::kWordBoardUnavailable, Severity::kError,
     Message::kHeadlineBoardUnavailable, Message::kRecordBoardUnavailable, Message::kWindowBoardUnavailable,
     Message::kNone, 4},
    {Outcome::kSkipped, outcome_name::kSkipped, Message::kWordSkipped, Severity::kInformation,
     Message::kHeadlineSkipped, Message::kRecordSkipped, Message::kWindowSkipped, Message::kConsoleSkipped, 0},
    // Accepted and verified; an unverified download reads as engine/outcome_texts.h says.
    {Outcome::kAccepted, outcome_name::kAccepted, Message::kWordAccepted, Severity::kInformation,
     Message::kHeadlineAccepted, Message::kRecordAcceptedVerified, Message::kWindowAccepted, Message::kNone, 0},
    {Outcome::kVerifyMismatch, outcome_name::kVerifyMismatch, Message::kWordVerifyMismatch, Severity::kError,
     Message::kHeadlineVerifyMismatch, Message::kRecordVerifyMismatch, Message::kWindowVerifyMismatch, Message::kNone, 7},
    {Outcome::kVerifyFailed, outcome_name::kVerifyFailed, Message::kWordVerifyFailed, Severity::kWarning,
     Message::kHeadlineVerifyFailed, Message::kRecordVerifyFailed, Message::kWindowVerifyFailed, Message::kNone, 8},
    // A failed download: what the board carries after it completes the texts (engine/outcome_texts.h).
    {Outcome::kRefused, outcome_name::kRefused, Message::kWordRefused, Severity::kError,
     Message::kHeadlineRefused, Message::kRecordDownloadFailed, Message::kNone, Message::kNone, 5},
    {Outcome::kFailed, outcome_name::kFailed, Message::kWordFailed, Severity::kError,
     Message::kHeadlineFailed, Message::kRecordDownloadFailed, Message::kNone, Message::kNone, 6},
    {Outcome::kManifestRefused, outcome_name::kManifestRefused, Message::kWordManifestRefused, Severity::kError,
     Message::kHeadlineManifestRefused, Message::kRecordManifestRefused, Message::kWindowManifestRefused,
     Message::kNone, 12},
    {Outcome::kInterrupted, outcome_name::kInterrupted, Message::kWordInterrupted, Severity::kWarning,
     Message::kHeadlineInterrupted, Message::kRecordInterrupted, Message::kInterruptedNotice, Message::kNone,
     kNoExitCode},
    {Outcome::kRunning, outcome_name::kRunning, Message::kWordRunning, Severity::kInformation,
     Message::kHeadlineRunning, Message::kRecordRunning, Message::kNone, Message::kNone, kNoExitCode},
};
// clang-format on

constexpr const OutcomeRow& RowOf(Outcome outcome)
{
    return kOutcomeTable[static_cast<std::size_t>(outcome)];
}

constexpr bool EveryOutcomeInOrder()
{
    for (std::size_t i = 0; i < std::size(kOutcomeTable); ++i)
        if (static_cast<std::size_t>(kOutcomeTable[i].outcome) != i)
            return false;
    return std::size(kOutcomeTable) == static_cast<std::size_t>(Outcome::kRunning) + 1;
}
static_assert(EveryOutcomeInOrder(), "one row for each outcome, in the enumeration's order");

// The row of a stored name; null for a name this program does not know (a newer one).
const OutcomeRow* FindOutcomeRow(const std::string& name);

// How a person reads a stored outcome name: its word, or the name itself when unknown.
std::string OutcomeWordOf(const std::string& name);

}  // namespace torvexupdate
