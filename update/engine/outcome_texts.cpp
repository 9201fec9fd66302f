#include "engine/outcome_texts.h"

#include "manifest/refusal_table.h"
#include "module/path_words.h"
#include "words/language.h"

#include <cstddef>

namespace torvexupdate {

namespace {

// What the board carries after a download that did not succeed.
struct AfterFailureRow {
    AfterFailure state;
    const char* name;  // for JSON
    Message record;    // the record's clause
    Message headline;  // the window's headline clause
    Message window;    // the window's details
    Message windowWhenRefused;
};
// clang-format off
constexpr AfterFailureRow kAfterFailureTable[] = {
    {AfterFailure::kUnknown, "unknown", Message::kBoardAfterUnknownRecord, Message::kBoardAfterUnknownHeadline,
     Message::kBoardAfterUnknownWindow, Message::kBoardAfterUnknownWindow},
    {AfterFailure::kUnchanged, "unchanged", Message::kBoardAfterUnchangedRecord, Message::kBoardAfterUnchangedHeadline,
     Message::kBoardAfterUnchangedWindow, Message::kBoardAfterRefusedUnchangedWindow},
    {AfterFailure::kWrittenNotStarted, "written_not_started", Message::kBoardAfterWrittenNotStartedRecord,
     Message::kBoardAfterWrittenNotStartedHeadline, Message::kBoardAfterWrittenNotStartedWindow,
     Message::kBoardAfterWrittenNotStartedWindow},
    {AfterFailure::kEmpty, "empty", Message::kBoardAfterEmptyRecord, Message::kBoardAfterEmptyHeadline,
     Message::kBoardAfterEmptyWindow, Message::kBoardAfterEmptyWindow},
    {AfterFailure::kOther, "other", Message::kBoardAfterOtherRecord, Message::kBoardAfterOtherHeadline,
     Message::kBoardAfterOtherWindow, Message::kBoardAfterOtherWindow},
};
// clang-format on

constexpr bool EveryStateInOrder()
{
    for (std::size_t i = 0; i < std::size(kAfterFailureTable); ++i)
        if (static_cast<std::size_t>(kAfterFailureTable[i].state) != i)
            return false;
    return std::size(kAfterFailureTable) == static_cast<std::size_t>(AfterFailure::kOther) + 1;
}
static_assert(EveryStateInOrder(), "one row for each state after a failure, in the enumeration's order");

const AfterFailureRow& AfterFailureRowOf(AfterFailure state)
{
    return kAfterFailureTable[static_cast<std::size_t>(state)];
}

bool DownloadFailed(Outcome outcome)
{
    return outcome == Outcome::kRefused || outcome == Outcome::kFailed;
}

}  // namespace

OutcomeTexts TextsOf(const UpdateReport& report)
{
    const OutcomeRow& row = RowOf(report.outcome);
    OutcomeTexts texts{row.severity, row.headline, row.record, row.window, row.console, row.exitCode};
    if (report.outcome == Outcome::kAccepted && report.verification != Verification::kMatch) {
        texts.severity = Severity::kWarning;
        texts.headline = Message::kHeadlineAcceptedUnverified;
        texts.record = Message::kRecordAccepted;
        texts.window = Message::kWindowAcceptedUnverified;
    }
    // A manifest's refusal says in its headline which one it is.
    if (report.outcome == Outcome::kManifestRefused && report.manifest.refusal != ManifestRefusal::kNone)
        texts.headline = RefusalRowOf(report.manifest.refusal).headline;
    if (DownloadFailed(report.outcome)) {
        const AfterFailureRow& after = AfterFailureRowOf(report.afterFailure);
        texts.window = report.outcome == Outcome::kRefused ? after.windowWhenRefused : after.window;
    }
    return texts;
}

std::string OutcomeReason(const UpdateFile& file, const UpdateReport& report)
{
    if (report.outcome == Outcome::kNotApplication)
        return file.check.reason;
    if (report.outcome == Outcome::kPathUnusable)
        return NarrowProblemWords(file.narrow);
    if (report.outcome == Outcome::kManifestRefused)
        return report.manifest.words;
    return std::string();
}

std::string BoardStateHeadline(AfterFailure state)
{
    return Say(AfterFailureRowOf(state).headline);
}

const char* AfterFailureName(AfterFailure state)
{
    return AfterFailureRowOf(state).name;
}

std::string OutcomeWords(const UpdateReport& report)
{
    ThreadLanguage english(Language::kEnglish);  // a record reads the same whatever people read
    const ManifestVerdict& manifest = report.manifestForRecord ? *report.manifestForRecord : report.manifest;
    std::string result = DownloadResultWords(report.result);
    return Say(TextsOf(report).record,
               {{"reason", manifest.words},
                {"download_result", result},
                {"after_failure", Say(AfterFailureRowOf(report.afterFailure).record)}});
}

}  // namespace torvexupdate
