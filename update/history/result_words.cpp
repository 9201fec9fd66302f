#include "history/result_words.h"

#include "history/history_attempts.h"
#include "history/outcome_table.h"
#include "manifest/refusal_table.h"
#include "words/language.h"

#include <initializer_list>
#include <optional>

namespace torvexupdate {

namespace {

std::string StoredWords(const Record& attempt)
{
    const Record* result = FieldObject(attempt, field::kResult);
    return result != nullptr ? FieldText(*result, field::kWords) : std::string();
}

std::string InEnglish(Message message, std::initializer_list<Placeholder> values = {})
{
    ThreadLanguage english(Language::kEnglish);
    return Say(message, values);
}

// The clauses a failed download's record ends with: what the board carried after it.
constexpr Message kAfterFailureClauses[] = {
    Message::kBoardAfterUnknownRecord, Message::kBoardAfterUnchangedRecord, Message::kBoardAfterWrittenNotStartedRecord,
    Message::kBoardAfterEmptyRecord,   Message::kBoardAfterOtherRecord,
};

constexpr Message kDownloadResults[] = {
    Message::kDownloadResultRefused,
    Message::kDownloadResultLinkFailed,
    Message::kDownloadResultFailed,
    Message::kDownloadResultUnexpected,
};

// The module's download result, from the code the record keeps; kNone when it keeps none.
Message DownloadResultOf(const Record& attempt)
{
    const Record* result = FieldObject(attempt, field::kResult);
    std::optional<long long> code = result != nullptr ? FieldNumber(*result, field::kCode) : std::nullopt;
    if (!code)
        return Message::kNone;
    switch (*code) {
    case -2:
        return Message::kDownloadResultRefused;
    case -1:
        return Message::kDownloadResultLinkFailed;
    case 0:
        return Message::kDownloadResultFailed;
    default:
        return Message::kDownloadResultUnexpected;
    }
}

// "{download_result}; {after_failure}": the record names what the board carried after the
// download only in its English words, so the sentence is the one they read in English.
// Words that match none give the download's result from its code alone.
std::string DownloadFailedWords(const Record& attempt, const OutcomeRow& row)
{
    std::string stored = StoredWords(attempt);
    for (Message result : kDownloadResults)
        for (Message clause : kAfterFailureClauses)
            if (stored
                == InEnglish(row.record,
                             {{"download_result", InEnglish(result)}, {"after_failure", InEnglish(clause)}}))
                return Say(row.record, {{"download_result", Say(result)}, {"after_failure", Say(clause)}});
    Message result = DownloadResultOf(attempt);
    return Say(result != Message::kNone ? result : row.word);
}

// The refusal's detailed reason is kept in English only: its headline says which refusal it was.
std::string ManifestRefusedWords(const Record& attempt, const OutcomeRow& row)
{
    const Record* manifest = FieldObject(attempt, field::kManifest);
    std::string name = manifest != nullptr ? FieldText(*manifest, field::kRefusal) : std::string();
    for (const RefusalRow& refusal : kRefusalTable)
        if (refusal.headline != Message::kNone && name == refusal.name)
            return Say(refusal.headline);
    return Say(row.headline);
}

}  // namespace

std::string ResultForPeople(const Record& attempt)
{
    std::string stored = StoredWords(attempt);
    const OutcomeRow* row = FindOutcomeRow(FieldText(attempt, field::kOutcome));
    // A record without words shows none; one of an outcome this program does not know has
    // no other words than its own.
    if (CurrentLanguage() == Language::kEnglish || stored.empty() || row == nullptr)
        return stored;
    switch (row->outcome) {
    case Outcome::kAccepted:
        // Accepted but not compared with the file's banner reads otherwise.
        return Say(stored == InEnglish(row->record) ? row->record : Message::kRecordAccepted);
    case Outcome::kRefused:
    case Outcome::kFailed:
        return DownloadFailedWords(attempt, *row);
    case Outcome::kManifestRefused:
        return ManifestRefusedWords(attempt, *row);
    case Outcome::kRunning:
        return RunningWords(attempt);
    default:
        return Say(row->record);
    }
}

}  // namespace torvexupdate
