#include "history/history_attempts.h"

#include "history/outcome_table.h"

#include "system/system_facts.h"
#include "words/language.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <set>

namespace torvexupdate {

namespace {

std::string Shown(const std::string& text)
{
    return text.empty() ? "?" : text;
}

// A download was made: the module was given the file (a refused one changed nothing).
bool WroteBytes(const Record& attempt)
{
    std::string outcome = FieldText(attempt, field::kOutcome);
    if (outcome == outcome_name::kInterrupted)
        return true;
    const Record* result = FieldObject(attempt, field::kResult);
    bool downloaded = result != nullptr && FieldNumber(*result, field::kCode).has_value();
    return downloaded && outcome != outcome_name::kRefused;
}

std::string ResultWords(const Record& attempt)
{
    const Record* result = FieldObject(attempt, field::kResult);
    return result != nullptr ? FieldText(*result, field::kWords) : std::string();
}

bool EndedInFailure(const std::string& outcome)
{
    return outcome == outcome_name::kFailed || outcome == outcome_name::kVerifyMismatch
        || outcome == outcome_name::kVerifyFailed;
}

}  // namespace

std::string NewUpdateId()
{
    std::string compact;
    for (char c : UtcTimestamp())
        if (c != '-' && c != ':')
            compact += c;
    std::random_device device;
    unsigned long long bits = (static_cast<unsigned long long>(device()) << 32) ^ device()
        ^ static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "-%012llx", bits & 0xFFFFFFFFFFFFull);
    return compact + suffix;
}

bool IsStartedRecord(const Record& record)
{
    return FieldText(record, field::kRecordKind) == kStartedKind;
}

std::vector<Record> Attempts(const std::vector<Record>& records)
{
    std::map<std::string, const Record*> outcomeOf;  // by id: the last outcome record
    std::set<std::string> startedIds;
    for (const Record& record : records) {
        std::string id = FieldText(record, field::kId);
        if (id.empty())
            continue;
        if (IsStartedRecord(record))
            startedIds.insert(id);
        else
            outcomeOf[id] = &record;
    }
    std::vector<Record> attempts;
    std::set<std::string> placed;
    for (const Record& record : records) {
        std::string id = FieldText(record, field::kId);
        if (!IsStartedRecord(record)) {
            if (id.empty() || startedIds.count(id) == 0)
                attempts.push_back(record);  // an outcome with no started record: nothing was written ahead
            continue;
        }
        if (!id.empty() && !placed.insert(id).second)
            continue;  // a started record repeated: one attempt
        auto outcome = id.empty() ? outcomeOf.end() : outcomeOf.find(id);
        if (outcome != outcomeOf.end()) {
            attempts.push_back(*outcome->second);
            continue;
        }
        ThreadLanguage english(Language::kEnglish);  // the words a stored outcome would carry
        Record interrupted = record;
        interrupted.erase(field::kRecordKind);
        interrupted[field::kOutcome] = outcome_name::kInterrupted;
        interrupted[field::kResult] = {{field::kCode, nullptr},
                                       {field::kWords, Say(RowOf(Outcome::kInterrupted).record)}};
        attempts.push_back(interrupted);
    }
    return attempts;
}

BoardHistory StandingOf(const std::vector<Record>& attempts, const std::string& board, const std::string& fileBanner,
                        const std::string& sha256)
{
    BoardHistory standing;
    if (board.empty())
        return standing;
    const Record* newest = nullptr;
    const Record* newestWrite = nullptr;
    for (const Record& attempt : attempts) {
        if (FieldText(attempt, field::kBoard) != board)
            continue;
        newest = &attempt;
        if (WroteBytes(attempt))
            newestWrite = &attempt;
    }
    if (newest == nullptr)
        return standing;
    std::string outcome = FieldText(*newest, field::kOutcome);
    std::string which = " (" + Shown(FieldText(*newest, field::kTime)) + ", " + Shown(FieldText(*newest, field::kFile))
        + ")";
    if (outcome == outcome_name::kInterrupted) {
        standing.interrupted = *newest;
        standing.writeAgainBecause = "the last update of this board" + which
            + " was interrupted, so the board may hold an incomplete application under this banner";
    } else if (EndedInFailure(outcome)) {
        standing.writeAgainBecause = "the last update of this board" + which + " ended " + outcome + ": "
            + Shown(ResultWords(*newest));
    } else if (newestWrite != nullptr && !fileBanner.empty()
               && FieldText(*newestWrite, field::kFileBanner) == fileBanner && !sha256.empty()
               && !FieldText(*newestWrite, field::kSha256).empty()
               && FieldText(*newestWrite, field::kSha256) != sha256) {
        standing.writeAgainBecause = "the last application written into this board under this banner ("
            + Shown(FieldText(*newestWrite, field::kTime)) + ", " + Shown(FieldText(*newestWrite, field::kFile))
            + ") had other bytes than this file (SHA-256 " + FieldText(*newestWrite, field::kSha256).substr(0, 12)
            + "..., this file's " + sha256.substr(0, 12) + "...)";
    }
    return standing;
}

std::vector<Record> InterruptedBoards(const std::vector<Record>& attempts)
{
    std::map<std::string, const Record*> newest;
    std::vector<std::string> order;
    for (const Record& attempt : attempts) {
        std::string board = FieldText(attempt, field::kBoard);
        if (board.empty())
            continue;
        if (newest.count(board) == 0)
            order.push_back(board);
        newest[board] = &attempt;
    }
    std::vector<Record> interrupted;
    for (const std::string& board : order)
        if (FieldText(*newest[board], field::kOutcome) == outcome_name::kInterrupted)
            interrupted.push_back(*newest[board]);
    return interrupted;
}

std::string InterruptedWords(const Record& attempt, const std::string& next)
{
    std::string who = Shown(FieldText(attempt, field::kProgram));
    std::string machine = FieldText(attempt, field::kMachine);
    if (!machine.empty())
        who = Say(Message::kProgramOnStation, {{"who", who}, {"station", machine}});
    return Say(RowOf(Outcome::kInterrupted).window,
               {{"reference", Shown(FieldText(attempt, field::kBoard))},
                {"who", who},
                {"path", Shown(FieldText(attempt, field::kFile))},
                {"when", Shown(FieldText(attempt, field::kTime))},
                {"next", next}});
}

}  // namespace torvexupdate
