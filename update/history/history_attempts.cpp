#include "history/history_attempts.h"

#include "history/history_view.h"
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

// "10:51" from a record's UTC time, in local time; the time as recorded when unreadable.
std::string LocalClock(const std::string& recorded)
{
    long long seconds = 0;
    std::string local = ParseRecordTime(recorded, &seconds) ? LocalIsoTime(seconds) : std::string();
    return local.size() >= 16 ? local.substr(11, 5) : Shown(recorded);
}

// A started record without its outcome, standing for the attempt.
Record Unfinished(const Record& started, bool running)
{
    ThreadLanguage english(Language::kEnglish);  // the words a stored outcome would carry
    Record attempt = started;
    attempt.erase(field::kRecordKind);
    Outcome outcome = running ? Outcome::kRunning : Outcome::kInterrupted;
    attempt[field::kOutcome] = RowOf(outcome).name;
    attempt[field::kResult] = {{field::kCode, nullptr},
                               {field::kWords, running ? RunningWords(started) : Say(RowOf(outcome).record)}};
    return attempt;
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

std::vector<Record> Attempts(const std::vector<Record>& records, const std::optional<LockHolder>& holder)
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
        attempts.push_back(Unfinished(record, !id.empty() && holder && holder->updateId == id));
    }
    return attempts;
}

std::string WhoWords(const Record& attempt)
{
    std::string who = Shown(FieldText(attempt, field::kProgram));
    std::string machine = FieldText(attempt, field::kMachine);
    if (!machine.empty())
        who = Say(Message::kProgramOnStation, {{"who", who}, {"station", machine}});
    std::string name = FieldText(attempt, field::kOperator);
    return name.empty() ? who : Say(Message::kOperatorWithProgram, {{"operator", name}, {"who", who}});
}

std::string RunningWords(const Record& attempt)
{
    return Say(RowOf(Outcome::kRunning).record,
               {{"since", LocalClock(FieldText(attempt, field::kTime))}, {"who", WhoWords(attempt)}});
}

}  // namespace torvexupdate
