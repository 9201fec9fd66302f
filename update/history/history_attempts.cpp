#include "history/history_attempts.h"

#include "system/system_facts.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <set>

namespace torvexupdate {

namespace {

std::string Text(const Record& record, const char* key)
{
    auto found = record.find(key);
    return found != record.end() && found->is_string() ? found->get<std::string>() : std::string();
}

std::string Shown(const std::string& text)
{
    return text.empty() ? "?" : text;
}

// A download was made: the module was given the file (a refused one changed nothing).
bool WroteBytes(const Record& attempt)
{
    std::string outcome = Text(attempt, "outcome");
    if (outcome == kInterruptedOutcome)
        return true;
    auto result = attempt.find("result");
    bool downloaded = result != attempt.end() && result->is_object() && result->contains("code")
        && !(*result)["code"].is_null();
    return downloaded && outcome != "refused";
}

std::string ResultWords(const Record& attempt)
{
    auto result = attempt.find("result");
    return result != attempt.end() && result->is_object() ? Text(*result, "words") : std::string();
}

bool EndedInFailure(const std::string& outcome)
{
    return outcome == "failed" || outcome == "verify_mismatch" || outcome == "verify_failed";
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
    return Text(record, kRecordKindKey) == kStartedKind;
}

std::vector<Record> Attempts(const std::vector<Record>& records)
{
    std::map<std::string, const Record*> outcomeOf;  // by id: the last outcome record
    std::set<std::string> startedIds;
    for (const Record& record : records) {
        std::string id = Text(record, "id");
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
        std::string id = Text(record, "id");
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
        Record interrupted = record;
        interrupted.erase(kRecordKindKey);
        interrupted["outcome"] = kInterruptedOutcome;
        interrupted["result"] = {{"code", nullptr},
                                 {"words", "stopped before the end: the board may hold an incomplete application"}};
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
        if (Text(attempt, "board") != board)
            continue;
        newest = &attempt;
        if (WroteBytes(attempt))
            newestWrite = &attempt;
    }
    if (newest == nullptr)
        return standing;
    std::string outcome = Text(*newest, "outcome");
    std::string which = " (" + Shown(Text(*newest, "time")) + ", " + Shown(Text(*newest, "file")) + ")";
    if (outcome == kInterruptedOutcome) {
        standing.interrupted = *newest;
        standing.writeAgainBecause = "the last update of this board" + which
            + " was interrupted, so the board may hold an incomplete application under this banner";
    } else if (EndedInFailure(outcome)) {
        standing.writeAgainBecause = "the last update of this board" + which + " ended " + outcome + ": "
            + Shown(ResultWords(*newest));
    } else if (newestWrite != nullptr && !fileBanner.empty() && Text(*newestWrite, "file_banner") == fileBanner
               && !sha256.empty() && !Text(*newestWrite, "sha256").empty() && Text(*newestWrite, "sha256") != sha256) {
        standing.writeAgainBecause = "the last application written into this board under this banner ("
            + Shown(Text(*newestWrite, "time")) + ", " + Shown(Text(*newestWrite, "file"))
            + ") had other bytes than this file (SHA-256 " + Text(*newestWrite, "sha256").substr(0, 12)
            + "..., this file's " + sha256.substr(0, 12) + "...)";
    }
    return standing;
}

std::vector<Record> InterruptedBoards(const std::vector<Record>& attempts)
{
    std::map<std::string, const Record*> newest;
    std::vector<std::string> order;
    for (const Record& attempt : attempts) {
        std::string board = Text(attempt, "board");
        if (board.empty())
            continue;
        if (newest.count(board) == 0)
            order.push_back(board);
        newest[board] = &attempt;
    }
    std::vector<Record> interrupted;
    for (const std::string& board : order)
        if (Text(*newest[board], "outcome") == kInterruptedOutcome)
            interrupted.push_back(*newest[board]);
    return interrupted;
}

std::string InterruptedWords(const Record& attempt, const std::string& next)
{
    std::string machine = Text(attempt, "machine");
    return "the last update of board " + Shown(Text(attempt, "board"))
        + " did not finish: " + Shown(Text(attempt, "program")) + (machine.empty() ? "" : " on " + machine)
        + " started writing " + Shown(Text(attempt, "file")) + " into it at " + Shown(Text(attempt, "time"))
        + " and was stopped before the end. The board may hold an incomplete application, even if its banner "
          "looks right: "
        + next;
}

}  // namespace torvexupdate
