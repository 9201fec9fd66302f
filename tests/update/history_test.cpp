// The history file: records survive a torn last line, damaged lines are skipped with a
// warning, the location rule, and the system's SHA-256; how the history is read back: local
// times with their offset, dates people type, filters, CSV quoting; started records paired
// with their outcomes, and what the attempts say about a board.
#include "history/history.h"
#include "history/board_account.h"
#include "history/history_view.h"
#include "history/outcome_table.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "system/system_facts.h"
#include "words/for_people.h"
#include "words/language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <map>
#include <tuple>

using namespace torvexupdate;
using testing_support::Contains;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

Record Numbered(int n)
{
    return Record{{"time", "2026-12-08T10:00:0" + std::to_string(n) + "Z"}, {"n", n}};
}

int commits = 0;

bool CountedFlush(std::FILE* file)
{
    ++commits;
    return std::fflush(file) == 0;
}

TEST(History, TornAndDamagedLinesAreSkippedAndNeverStopTheNextAppend)
{
    ScratchFolder folder("history");
    std::string path = folder.File("torvex-history.jsonl");
    std::string error;
    // Each record is committed to the disk before AppendRecord says it is written.
    DiskFlush system = SetDiskFlush(CountedFlush);
    ASSERT_TRUE(AppendRecord(path, Numbered(1), &error)) << error;
    EXPECT_EQ(commits, 1);
    SetDiskFlush([](std::FILE*) { return false; });
    EXPECT_FALSE(AppendRecord(path, Numbered(2), &error));
    SetDiskFlush(system);
    WriteFile(path, ReadFile(path).substr(0, ReadFile(path).find('\n') + 1));
    // A damaged line in the middle, then a record cut off by a power cut (no line end).
    WriteFile(path, ReadFile(path) + "not json\n{\"time\":\"2026-12-08T10:00:02Z\",\"n\":");
    ASSERT_TRUE(AppendRecord(path, Numbered(3), &error)) << error;

    History history = ReadHistory(path);
    ASSERT_EQ(history.records.size(), 2u);
    EXPECT_EQ(history.records[0]["n"], 1);
    EXPECT_EQ(history.records[1]["n"], 3);
    ASSERT_EQ(history.warnings.size(), 2u);
    EXPECT_NE(history.warnings[0].find("line 2: damaged record, skipped"), std::string::npos);
    EXPECT_NE(history.warnings[1].find("line 3: damaged record, skipped"), std::string::npos);
    // Each append is one whole line: the torn piece stayed on its own line.
    EXPECT_EQ(ReadFile(path).back(), '\n');

    // A torn last line with nothing after it.
    WriteFile(path, ReadFile(path) + "{\"n\":4");
    history = ReadHistory(path);
    EXPECT_EQ(history.records.size(), 2u);
    ASSERT_EQ(history.warnings.size(), 3u);
    EXPECT_NE(history.warnings[2].find("line 5: incomplete record (cut off), skipped"), std::string::npos);
    ThreadLanguage french(Language::kFrench);
    EXPECT_NE(ReadHistory(path).warnings[2].find("ligne 5 : enregistrement incomplet (coupé), ignoré"),
              std::string::npos);
}

TEST(History, MissingFileIsEmptyAndUnwritablePathIsReported)
{
    ScratchFolder folder("history");
    History history = ReadHistory(folder.File("none.jsonl"));
    EXPECT_TRUE(history.records.empty());
    EXPECT_TRUE(history.warnings.empty());
    EXPECT_TRUE(history.error.empty());
    std::string error;
    EXPECT_FALSE(AppendRecord(folder.File("no-such-folder/h.jsonl"), Numbered(1), &error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos);
}

TEST(History, PathIsTheOptionThenTheVariableThenBesideTheModule)
{
#if defined(_WIN32)
    const std::string beside = "C:\\m\\torvex-history.jsonl";
    _putenv_s(kHistoryVariable, "");
    EXPECT_EQ(HistoryPath("", "C:\\m"), beside);
    _putenv_s(kHistoryVariable, "from-env.jsonl");
#else
    const std::string beside = "/m/torvex-history.jsonl";
    unsetenv(kHistoryVariable);
    EXPECT_EQ(HistoryPath("", "/m"), beside);
    setenv(kHistoryVariable, "from-env.jsonl", 1);
#endif
    EXPECT_EQ(HistoryPath("", beside.substr(0, 4)), "from-env.jsonl");
    EXPECT_EQ(HistoryPath("chosen.jsonl", "/m"), "chosen.jsonl");
#if defined(_WIN32)
    _putenv_s(kHistoryVariable, "");
#else
    unsetenv(kHistoryVariable);
#endif
}

// Sets the time zone of this process's C runtime ("" restores the system's).
void SetTimeZone(const char* zone)
{
#if defined(_WIN32)
    _putenv_s("TZ", zone);
    _tzset();
#else
    if (*zone != 0)
        setenv("TZ", zone, 1);
    else
        unsetenv("TZ");
    tzset();
#endif
}

TEST(HistoryView, TimesInLocalTimeWithTheirOffsetAndDatesAsPeopleTypeThem)
{
    long long recorded = 0;
    ASSERT_TRUE(ParseRecordTime("2026-12-08T19:46:30Z", &recorded));
    EXPECT_EQ(recorded, 1796759190);
    for (const char* bad : {"2026-12-08T19:46:30", "2026-13-08T19:46:30Z", "2026-12-08T19:46:30Zx", ""})
        EXPECT_FALSE(ParseRecordTime(bad, &recorded)) << bad;

    SetTimeZone("XST-2");  // two hours east of UTC, no summer time
    EXPECT_EQ(LocalIsoTime(1796759190), "2026-12-08T21:46:30+02:00");
    const std::pair<const char*, long long> dates[] = {
        {"2026-12-08", 1796759190 - 21 * 3600 - 46 * 60 - 30},
        {"2026-12-08T21:46", 1796759190 - 30},
        {"2026-12-08 21:46:30", 1796759190},
        {"2026-12-08T19:46:30Z", 1796759190},
        {"2026-12-08T20:16:30+00:30", 1796759190},
        {"2026-12-08T18:46:30-01:00", 1796759190},
        // Either side of the year's turn at March, where the day count starts its months.
        {"2026-03-01T00:00:00Z", 1772323200},
        {"2024-02-29T12:00:00Z", 1709208000},
        {"2026-01-31T23:59:59Z", 1769903999},
    };
    for (const auto& [text, seconds] : dates) {
        long long parsed = 0;
        EXPECT_TRUE(ParseDate(text, &parsed) && parsed == seconds) << text << ": " << parsed;
    }
    for (const char* bad : {"08/12/2026", "2026-12-8", "2026-12-08T25:00", "2026-12-08 21:46 local", "yesterday"})
        EXPECT_FALSE(ParseDate(bad, &recorded)) << bad;
    SetTimeZone("");
}

TEST(HistoryView, FiltersByTheExactBoardAndFromADate)
{
    std::vector<Record> oldestFirst = {
        {{"time", "2026-12-01T10:00:00Z"}, {"board", "REF-70"}},
        {{"time", "2026-12-01T23:59:59Z"}, {"board", "REF-70"}},  // the second before --since
        {{"time", "2026-12-02T00:00:00Z"}, {"board", "REF-70"}},  // the very second of --since
        {{"time", "2026-12-02T10:00:00Z"}, {"board", "REF-7"}},
        {{"time", "not a time"}, {"board", "REF-7"}},
        {{"time", "2026-12-03T10:00:00Z"}, {"board", nullptr}},
    };
    HistoryFilter board;
    board.board = "REF-7";
    std::vector<Record> selected = SelectRecords(oldestFirst, board);
    ASSERT_EQ(selected.size(), 2u);  // newest first, REF-70 left out
    EXPECT_EQ(selected[0]["time"], "not a time");

    HistoryFilter since;
    since.since = ParseDate("2026-12-02T00:00Z", &since.sinceSeconds);
    selected = SelectRecords(oldestFirst, since);
    ASSERT_EQ(selected.size(), 3u);  // the unreadable time is left out
    EXPECT_EQ(selected[0]["time"], "2026-12-03T10:00:00Z");
    EXPECT_EQ(selected[1]["time"], "2026-12-02T10:00:00Z");
    EXPECT_EQ(selected[2]["time"], "2026-12-02T00:00:00Z");
}

TEST(HistoryView, CsvQuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(CsvRow({"plain", "", "a,b", "say \"hi\"", "two\nlines", "cr\r"}),
              "plain,,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\"");
    EXPECT_EQ(CsvRow({"a,b", "a;b", "say \"hi\""}, ';'), "a,b;\"a;b\";\"say \"\"hi\"\"\"");
    EXPECT_EQ(RecordedFileName("C:\\apps\\a.bin"), "a.bin");
    EXPECT_EQ(RecordedFileName("/srv/b.bin"), "b.bin");

    Record record = {{"time", "bad"},
                     {"machine", "BENCH-3"},
                     {"operator", nullptr},
                     {"size", 512},
                     {"result", {{"code", 1}, {"words", "accepted"}}}};
    const std::pair<const char*, const char*> texts[] = {{"time", "bad"}, {"station", "BENCH-3"}, {"operator", ""},
                                                         {"size", "512"}, {"result", "accepted"}, {"board", ""}};
    for (const auto& [name, text] : texts)
        EXPECT_EQ(FindHistoryColumn(name)->text(record), text) << name;
}

// Whatever a field holds, reading it never throws: absent, null or of another kind reads
// as absent; the CSV keeps the stored outcome name, people read its words.
TEST(HistoryView, FieldsOfAnyKindReadSafelyAndOutcomesReadAsWords)
{
    Record record = Record::parse(R"({"time": 5, "board": null, "file": {"a": 1}, "size": "512",
        "outcome": "manifest_refused", "result": "not an object", "sha256": ["ab"], "operator": "Zoë"})");
    std::vector<std::string> csv;
    std::vector<std::string> people;
    for (const HistoryColumn& column : HistoryColumns()) {
        csv.push_back(column.text(record));
        people.push_back(PeoplesText(column, record));
    }
    EXPECT_EQ(CsvRow(csv), ",,manifest_refused,,,,,,Zoë,,,");
    EXPECT_EQ(people[2], "refused: manifest");
    EXPECT_FALSE(FieldNumber(record, "size"));
    EXPECT_EQ(FieldObject(record, "result"), nullptr);
    EXPECT_EQ(FieldText(Record::array(), "time"), "");
    EXPECT_EQ(OutcomeWordOf("a_newer_outcome"), "a_newer_outcome");
    EXPECT_EQ(HistoryColumns()[4].text(Record{{"size", 393216}}), "393216");
}

// The result column in French: said again from what the record keeps, the best French
// words where it keeps too little, never its stored English; English shows it as stored.
TEST(HistoryView, ResultReadsInFrenchFromWhatTheRecordKeeps)
{
    struct Case {
        const char* outcome;
        const char* words;  // stored, in English
        Record code;
        const char* refusal;
        const char* french;  // "" for none
    };
    const Case cases[] = {
        {"failed", "download failed (-1); no application in flash", -1, "",
         "échec du téléchargement (-1) ; aucune application en flash"},
        {"refused", "refused (-2), in an older wording", -2, "", "refusée par la carte (-2)"},
        {"failed", "failed", nullptr, "", "échec"},
        {"accepted", "accepted, application started", 1, "", "acceptée, application démarrée"},
        {"manifest_refused", "the manifest is signed by a key this site does not trust; nothing was written", nullptr,
         "untrusted_key", "Rien n'a été écrit : signé par une clé à laquelle ce site ne fait pas confiance"},
        {"manifest_refused", "refused by its manifest", nullptr, "",
         "Rien n'a été écrit : le manifeste du fichier le refuse"},
        {"running", "running since 10:51, torvexctl on STATION-4", nullptr, "", "en cours depuis "},
        {"a_newer_outcome", "words of a newer program", nullptr, "", "words of a newer program"},
        {"skipped", "", nullptr, "", ""},
    };
    const HistoryColumn& result = *FindHistoryColumn("result");
    for (const Case& c : cases) {
        Record record = {{"time", "2026-12-08T10:51:00Z"},
                         {"program", "torvexctl"},
                         {"machine", "STATION-4"},
                         {"outcome", c.outcome},
                         {"result", {{"code", c.code}, {"words", c.words}}},
                         {"manifest", {{"refusal", c.refusal}}}};
        EXPECT_EQ(PeoplesText(result, record), c.words) << c.outcome;
        ThreadLanguage french(Language::kFrench);
        std::string said = PeoplesText(result, record);
        EXPECT_EQ(said.rfind(c.french, 0), 0u) << c.outcome << ": " << said;
    }
}

// The names stored in records, JSON and CSV, and the words people read: a stored name
// never changes.
TEST(OutcomeTable, StoredNamesWordsAndExitCodes)
{
    const std::tuple<Outcome, const char*, const char*, const char*, int> rows[] = {
        {Outcome::kFileUnreadable, "file_unreadable", "file unreadable", "fichier illisible", 9},
        {Outcome::kFileEmpty, "file_empty", "file empty", "fichier vide", 9},
        {Outcome::kNotApplication, "not_application", "not an application", "pas une application", 10},
        {Outcome::kPathUnusable, "path_unusable", "path unusable", "chemin inutilisable", 11},
        {Outcome::kBoardUnavailable, "board_unavailable", "board unavailable", "carte injoignable", 4},
        {Outcome::kSkipped, "skipped", "skipped", "déjà à jour", 0},
        {Outcome::kAccepted, "accepted", "accepted", "réussie", 0},
        {Outcome::kVerifyMismatch, "verify_mismatch", "verify: mismatch", "contrôle : différente", 7},
        {Outcome::kVerifyFailed, "verify_failed", "verify: failed", "contrôle : échec", 8},
        {Outcome::kRefused, "refused", "refused: board", "refusée : carte", 5},
        {Outcome::kFailed, "failed", "failed", "échec", 6},
        {Outcome::kManifestRefused, "manifest_refused", "refused: manifest", "refusée : manifeste", 12},
        {Outcome::kInterrupted, "interrupted", "interrupted", "interrompue", -1},
        {Outcome::kRunning, "running", "running", "en cours", -1},
    };
    ASSERT_EQ(std::size(rows), std::size(kOutcomeTable));
    for (const auto& [outcome, name, word, french, exitCode] : rows) {
        EXPECT_STREQ(RowOf(outcome).name, name);
        EXPECT_EQ(Say(RowOf(outcome).word), word);
        ThreadLanguage inFrench(Language::kFrench);
        EXPECT_EQ(Say(RowOf(outcome).word), french);
        EXPECT_EQ(RowOf(outcome).exitCode, exitCode) << name;
        EXPECT_EQ(FindOutcomeRow(name), &RowOf(outcome));
    }
}

TEST(Messages, PlaceholdersAreFilledOnceAndAMissingOneShows)
{
    EXPECT_EQ(Say(Message::kProgramOnStation, {{"who", "torvexgui {station}"}, {"station", "STATION-4"}}),
              "torvexgui {station} on STATION-4");
    EXPECT_EQ(Say(Message::kProgramOnStation, {{"who", "torvexctl"}}), "torvexctl on {station}");
    EXPECT_EQ(Say(Message::kNone), "");
}

// French has its own words, numbers and dates; a language without a catalogue reads English.
TEST(Messages, FrenchWhenAskedAndEnglishForAnyOtherLanguage)
{
    const std::tuple<const char*, Language> codes[] = {{"fr", Language::kFrench},    {"fr_FR.UTF-8", Language::kFrench},
                                                       {"fr-CA", Language::kFrench}, {"de", Language::kEnglish},
                                                       {"fry", Language::kEnglish},  {"C.UTF-8", Language::kEnglish}};
    for (const auto& [code, language] : codes)
        EXPECT_EQ(LanguageNamed(code), language) << code;
    EXPECT_EQ(ChooseLanguage("de"), Language::kEnglish);  // asked: TORVEX_LANG and the system are not consulted
    {
        ThreadLanguage french(Language::kFrench);
        EXPECT_EQ(Say(Message::kProgramOnStation, {{"who", "torvexgui"}, {"station", "POSTE-4"}}),
                  "torvexgui sur POSTE-4");
        EXPECT_EQ(NumberForPeople(393216), "393\u00A0216");
        EXPECT_EQ(NumberForPeople(-1234567), "-1\u00A0234\u00A0567");
        EXPECT_EQ(NumberForPeople(512), "512");
        EXPECT_EQ(TimeForPeople("2026-12-09T10:51:30+01:00", false), "09/12/2026 10:51");
        EXPECT_EQ(DecimalForPeople("12.5"), "12,5");
    }
    EXPECT_EQ(NumberForPeople(393216), "393216");
    EXPECT_EQ(TimeForPeople("2026-12-09T10:51:30+01:00", true), "2026-12-09 10:51:30");
    EXPECT_EQ(TimeForPeople("bad", true), "bad");
}

TEST(SystemFacts, Sha256OfKnownContentAndOfAMissingFile)
{
    ScratchFolder folder("sha");
    WriteFile(folder.File("abc"), "abc");
    EXPECT_EQ(FileSha256(folder.File("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    WriteFile(folder.File("empty"), "");
    EXPECT_EQ(FileSha256(folder.File("empty")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(FileSha256(folder.File("missing")), "");
    std::string time = UtcTimestamp();
    ASSERT_EQ(time.size(), 20u);
    EXPECT_EQ(time[10], 'T');
    EXPECT_EQ(time.back(), 'Z');
}

// A history in short: one letter a record. S = started, O = outcome; the id, board,
// outcome, file banner and digest follow. Outcome "-" leaves an outcome record without id
// (written before there were started records).
Record Short(const std::string& kind, const std::string& id, const std::string& board,
             const std::string& outcome = "accepted", const std::string& banner = "APP 1",
             const std::string& sha = "aa")
{
    Record record;
    if (kind == "S")
        record["record"] = "started";
    if (!id.empty())
        record["id"] = id;
    record["time"] = "2026-12-09T05:00:00Z";
    record["program"] = "torvexctl";
    record["file"] = "Z:\\app-" + id + ".bin";
    record["board"] = board;
    record["file_banner"] = banner;
    record["sha256"] = sha;
    if (kind == "O") {
        record["outcome"] = outcome;
        bool downloaded = outcome != "skipped" && outcome != "not_application" && outcome != "manifest_refused";
        int code = outcome == "accepted" || outcome == "verify_mismatch" ? 1 : outcome == "refused" ? -2 : -1;
        record["result"] = {{"code", downloaded ? Record(code) : Record(nullptr)}, {"words", outcome + " in words"}};
        record["banner_after"] = outcome == "accepted" ? Record(banner) : Record("OTHER");
    }
    return record;
}

std::string Outcomes(const std::vector<Record>& attempts)
{
    std::string text;
    for (const Record& attempt : attempts)
        text += (text.empty() ? "" : " ") + attempt.value("id", std::string("?")) + ":"
            + attempt.value("outcome", std::string("?"));
    return text;
}

// The boards that may hold an incomplete application, each with the write it is about.
std::string IncompleteBoards(const std::vector<Record>& attempts)
{
    std::string text;
    for (const BoardAccount& account : AccountsOf(attempts, false))
        if (account.MayBeIncomplete())
            text += (text.empty() ? "" : " ") + account.board + ":" + account.lastWrite->value("id", "?");
    return text;
}

TEST(HistoryAttempts, StartedRecordsArePairedByIdAndThoseLeftAloneAreInterrupted)
{
    const std::vector<Record> records = {
        Short("O", "", "B1", "accepted"),  // an outcome from before there were started records
        Short("S", "1", "B1"),
        Short("O", "1", "B1", "failed"),
        Short("S", "2", "B2"),             // never finished
        Short("O", "3", "B1", "skipped"),  // nothing handed to the module: no started record
        Short("S", "4", "B1"),
        Short("S", "5", "B1"),  // interrupted; 4's outcome comes after it
        Short("O", "4", "B1", "accepted"),
    };
    std::vector<Record> attempts = Attempts(records, std::nullopt);
    EXPECT_EQ(Outcomes(attempts), "?:accepted 1:failed 2:interrupted 3:skipped 4:accepted 5:interrupted");
    // The interrupted attempt keeps what was written ahead, and is no longer a started record.
    EXPECT_EQ(attempts[2]["file"], "Z:\\app-2.bin");
    EXPECT_EQ(attempts[2]["board"], "B2");
    EXPECT_FALSE(IsStartedRecord(attempts[2]));
    EXPECT_EQ(attempts[2]["result"]["words"], "stopped before the end: the board may hold an incomplete application");
    EXPECT_TRUE(IsStartedRecord(records[1]));
    // The one the board lock's holder runs is running, said with its program and station.
    LockHolder holder;
    holder.updateId = "2";
    std::vector<Record> running = Attempts(records, holder);
    EXPECT_EQ(Outcomes(running), "?:accepted 1:failed 2:running 3:skipped 4:accepted 5:interrupted");
    EXPECT_EQ(running[2]["result"]["words"].get<std::string>().rfind("running since ", 0), 0u);
    EXPECT_TRUE(Contains(running[2]["result"]["words"].get<std::string>(), ", torvexctl"));

    EXPECT_EQ(IncompleteBoards(attempts), "B1:5 B2:2");  // in the order the boards first appear
    BoardAccount b2 = AccountOf(attempts, "B2", false);
    std::string words = IncompleteWords(b2, "download it again.");
    for (const char* part : {"board B2 did not finish", "torvexctl started writing Z:\\app-2.bin",
                             "2026-12-09T05:00:00Z", "even if its banner looks right: download it again."})
        EXPECT_TRUE(Contains(words, part)) << words;
    b2.lastWrite = Short("O", "6", "B2", "failed");
    b2.lastWrite->update({{"machine", "STATION-4"}, {"operator", "Ann Lee"}});
    EXPECT_TRUE(Contains(IncompleteWords(b2, "."),
                         "board B2 failed: Ann Lee with torvexctl on STATION-4 was writing Z:\\app-6.bin into it at "
                         "2026-12-09T05:00:00Z (failed in words)"))
        << IncompleteWords(b2, ".");
    {
        ThreadLanguage french(Language::kFrench);  // the stored English result is said again in French
        std::string said = IncompleteWords(b2, ".");
        EXPECT_TRUE(Contains(said, "échec")) << said;
        EXPECT_FALSE(Contains(said, "failed in words")) << said;
    }

    // A refusal by the board writes nothing: the warning stays until a write completes.
    std::vector<Record> later = records;
    later.push_back(Short("S", "6", "B2"));
    later.push_back(Short("O", "6", "B2", "refused"));
    EXPECT_EQ(IncompleteBoards(Attempts(later, std::nullopt)), "B1:5 B2:2");
    later.push_back(Short("S", "7", "B2"));
    later.push_back(Short("O", "7", "B2", "accepted"));
    EXPECT_EQ(IncompleteBoards(Attempts(later, std::nullopt)), "B1:5");
    EXPECT_NE(NewUpdateId(), NewUpdateId());
}

// What the board's account says before a same-banner skip, in named histories of board B1
// whose file is "APP 1" with digest "aa".
TEST(BoardAccount, SkipOnlyWhatTheBoardsNewestWriteConfirms)
{
    struct Case {
        const char* name;
        std::vector<Record> records;
        const char* because;  // "" when the skip stands
        bool incomplete;
    };
    const Case cases[] = {
        {"no record of the board", {Short("O", "1", "B2")}, "", false},
        {"accepted with the same bytes", {Short("S", "1", "B1"), Short("O", "1", "B1")}, "", false},
        {"interrupted", {Short("O", "1", "B1"), Short("S", "2", "B1")}, "was interrupted", true},
        {"interrupted on another board", {Short("O", "1", "B1"), Short("S", "2", "B2")}, "", false},
        {"interrupted, then finished",
         {Short("S", "1", "B1"), Short("S", "2", "B1"), Short("O", "2", "B1")},
         "",
         false},
        {"failed", {Short("O", "1", "B1", "failed")}, "failed (failed in words), so the board may hold", true},
        {"verify mismatch", {Short("O", "1", "B1", "verify_mismatch")}, "ended verify: mismatch", false},
        {"refused: the board kept what it had", {Short("O", "0", "B1"), Short("O", "1", "B1", "refused")}, "", false},
        {"other bytes under the same banner",
         {Short("O", "1", "B1", "accepted", "APP 1", "bb")},
         "had other bytes",
         false},
        {"other bytes, then a skip",
         {Short("O", "1", "B1", "accepted", "APP 1", "bb"), Short("O", "2", "B1", "skipped")},
         "had other bytes",
         false},
        {"another application last written",
         {Short("O", "1", "B1", "accepted", "APP 0", "bb")},
         "was another one",
         false},
        // The sequences of the field reports: a refusal between the kill and the retry.
        {"interrupted, then refused by the board",
         {Short("O", "0", "B1"), Short("S", "1", "B1"), Short("O", "2", "B1", "refused")},
         "was interrupted",
         true},
        {"interrupted, then refused by a manifest",
         {Short("S", "1", "B1"), Short("O", "2", "B1", "manifest_refused")},
         "was interrupted",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoardAccount account = AccountOf(Attempts(c.records, std::nullopt), "B1", false);
        EXPECT_EQ(account.MayBeIncomplete(), c.incomplete);
        std::string because = WriteAgainBecause(account, "APP 1", "aa");
        if (*c.because == '\0')
            EXPECT_EQ(because, "");
        else
            EXPECT_TRUE(Contains(because, c.because)) << because;
    }
}

// The account's rules, each checked after every history of up to two attempts on board B1
// (or a kill on another board), as the engine and the lock would leave them: each rule
// adds one or two attempts, so every sequence of three is seen.
struct Step {
    const char* name;
    bool writes;  // bytes reach the flash, or may
    std::vector<Record> (*records)(const std::string& id);
};

Record Attempt(const std::string& id, const std::string& outcome, int code, const std::string& banner = "APP 1",
               const std::string& sha = "aa")
{
    Record record = Short("O", id, "B1", outcome, banner, sha);
    record["result"]["code"] = code == 99 ? Record(nullptr) : Record(code);
    record["banner_after"] = outcome == "accepted" ? Record(banner) : Record("APP 0");
    record["manifest"] = {
        {"version", "2.0.0"}, {"signer", {{"key_file", "release.pem"}}}, {"overrides", Record::array()}};
    return record;
}

std::vector<Record> Written(Record outcome)
{
    Record started = Short("S", outcome["id"], outcome["board"]);
    return {started, outcome};
}

const Step kSteps[] = {
    {"accepted", true, [](const std::string& id) { return Written(Attempt(id, "accepted", 1)); }},
    {"other bytes, one banner", true,
     [](const std::string& id) { return Written(Attempt(id, "accepted", 1, "APP 1", "bb")); }},
    {"accepted, not compared", true,
     [](const std::string& id) {
         Record record = Attempt(id, "accepted", 1);
         record["banner_after"] = nullptr;
         return Written(record);
     }},
    {"verify mismatch", true, [](const std::string& id) { return Written(Attempt(id, "verify_mismatch", 1)); }},
    {"failed", true, [](const std::string& id) { return Written(Attempt(id, "failed", -1)); }},
    {"refused after a retry", true,
     [](const std::string& id) {
         Record record = Attempt(id, "refused", -2);
         record["attempts"] = 2;
         return Written(record);
     }},
    {"interrupted", true, [](const std::string& id) { return std::vector<Record>{Short("S", id, "B1")}; }},
    {"unsigned 9.9.9, forced", true,
     [](const std::string& id) {
         Record record = Attempt(id, "accepted", 1, "APP 9", "99");
         record["forced"] = true;
         record["manifest"] = {{"version", "9.9.9"}, {"signer", nullptr}, {"overrides", {"allow-unsigned"}}};
         return Written(record);
     }},
    {"skipped", false, [](const std::string& id) { return std::vector<Record>{Attempt(id, "skipped", 99)}; }},
    {"refused by the board", false, [](const std::string& id) { return Written(Attempt(id, "refused", -2)); }},
    {"refused by a manifest", false,
     [](const std::string& id) { return std::vector<Record>{Attempt(id, "manifest_refused", 99, "APP 3")}; }},
    {"another board killed", false, [](const std::string& id) { return std::vector<Record>{Short("S", id, "B2")}; }},
};

// A step's records for an id, made once.
const std::vector<Record>& RecordsOf(const Step& step, const std::string& id)
{
    static std::map<std::pair<const Step*, std::string>, std::vector<Record>> made;
    auto [at, added] = made.try_emplace({&step, id});
    if (added)
        at->second = step.records(id);
    return at->second;
}

struct Generated {
    std::vector<Record> records;
    std::vector<const Step*> steps;
    std::string name;
};

std::vector<Generated> Histories(std::size_t length)
{
    std::vector<Generated> all = {{}};
    for (std::size_t size = 0; size < length; ++size) {
        std::vector<Generated> longer;
        for (const Generated& history : all)
            if (history.steps.size() == size)
                for (const Step& step : kSteps) {
                    Generated next = history;
                    std::vector<Record> added = RecordsOf(step, "a" + std::to_string(size));
                    next.records.insert(next.records.end(), added.begin(), added.end());
                    next.steps.push_back(&step);
                    next.name += std::string(next.name.empty() ? "" : ", ") + step.name;
                    longer.push_back(next);
                }
        all.insert(all.end(), longer.begin(), longer.end());
    }
    return all;
}

BoardAccount AccountAfter(const Generated& history, const std::vector<Record>& more, bool trusts = false,
                          const std::optional<LockHolder>& holder = std::nullopt)
{
    std::vector<Record> records = history.records;
    records.insert(records.end(), more.begin(), more.end());
    return AccountOf(Attempts(records, holder), "B1", trusts);
}

std::string IdOf(const std::optional<Record>& attempt)
{
    return attempt ? attempt->value("id", "?") : "-";
}

TEST(BoardAccount, RulesHoldOverEverySequenceOfThreeAttempts)
{
    using Rule = void (*)(const Generated&);
    const std::pair<const char*, Rule> rules[] = {
        {"an attempt that writes nothing changes nothing in the account",
         [](const Generated& h) {
             BoardAccount before = AccountAfter(h, {});
             for (const Step& step : kSteps) {
                 if (step.writes)
                     continue;
                 BoardAccount after = AccountAfter(h, RecordsOf(step, "n"));
                 EXPECT_EQ(after.MayBeIncomplete(), before.MayBeIncomplete()) << step.name;
                 EXPECT_EQ(IdOf(after.incompleteSince), IdOf(before.incompleteSince)) << step.name;
                 EXPECT_EQ(IdOf(after.lastWrite), IdOf(before.lastWrite)) << step.name;
                 EXPECT_EQ(WriteAgainBecause(after, "APP 1", "aa"), WriteAgainBecause(before, "APP 1", "aa"))
                     << step.name;
             }
         }},
        {"a failed or interrupted write leaves the board incomplete until a write completes",
         [](const Generated& h) {
             for (const Step* step : {&kSteps[4], &kSteps[5], &kSteps[6]}) {
                 BoardAccount after = AccountAfter(h, RecordsOf(*step, "x"));
                 EXPECT_TRUE(after.MayBeIncomplete()) << step->name;
                 EXPECT_EQ(IdOf(after.lastWrite), "x");
                 BoardAccount before = AccountAfter(h, {});
                 EXPECT_EQ(IdOf(after.incompleteSince), before.MayBeIncomplete() ? IdOf(before.incompleteSince) : "x");
                 EXPECT_NE(IncompleteWords(after, "next"), "");
                 std::vector<Record> completed = RecordsOf(*step, "x");
                 for (const Record& record : RecordsOf(kSteps[2], "y"))
                     completed.push_back(record);
                 EXPECT_FALSE(AccountAfter(h, completed).MayBeIncomplete()) << step->name;
             }
         }},
        {"the same-banner skip stands only after a verified write of the file's bytes",
         [](const Generated& h) {
             for (const Step& step : kSteps) {
                 if (!step.writes)
                     continue;
                 std::string because = WriteAgainBecause(AccountAfter(h, RecordsOf(step, "w")), "APP 1", "aa");
                 EXPECT_EQ(because.empty(), &step == &kSteps[0]) << step.name << ": " << because;
             }
         }},
        {"two files under one banner: the last one written is the one the board holds",
         [](const Generated& h) {
             std::vector<Record> both = RecordsOf(kSteps[0], "p");
             for (const Record& record : RecordsOf(kSteps[1], "q"))
                 both.push_back(record);
             BoardAccount account = AccountAfter(h, both);
             EXPECT_TRUE(Contains(WriteAgainBecause(account, "APP 1", "aa"), "had other bytes"));
             EXPECT_EQ(WriteAgainBecause(account, "APP 1", "bb"), "");
         }},
        {"an update is running while its program holds the lock, interrupted once it is gone",
         [](const Generated& h) {
             LockHolder holder;
             holder.updateId = "r";
             std::vector<Record> started = {Short("S", "r", "B1")};
             BoardAccount running = AccountAfter(h, started, false, holder);
             EXPECT_EQ(IdOf(running.running), "r");
             EXPECT_EQ(running.lastWriteKind, Write::kRunning);
             for (const std::optional<LockHolder>& gone : {std::optional<LockHolder>(), std::optional(LockHolder())}) {
                 BoardAccount after = AccountAfter(h, started, false, gone);
                 EXPECT_FALSE(after.running);
                 EXPECT_EQ(after.lastWrite->value("outcome", ""), "interrupted");
             }
         }},
        {"where keys are trusted, a release written past the trust check does not raise the floor",
         [](const Generated& h) {
             std::vector<Record> unsigned9 = RecordsOf(kSteps[7], "u");
             EXPECT_EQ(FloorOf(AccountAfter(h, unsigned9, true)).version, FloorOf(AccountAfter(h, {}, true)).version);
             EXPECT_EQ(AccountAfter(h, unsigned9, false).floorVersion, "9.9.9");
             BoardAccount trusted = AccountAfter(h, RecordsOf(kSteps[0], "t"), true);
             EXPECT_EQ(trusted.floorVersion, "2.0.0");
             EXPECT_EQ(IdOf(trusted.floorFrom), "t");
         }},
    };
    std::vector<Generated> histories = Histories(2);
    ASSERT_EQ(histories.size(), 1u + 12 + 144);
    for (const auto& [rule, check] : rules)
        for (const Generated& history : histories) {
            SCOPED_TRACE(std::string(rule) + " after: " + history.name);
            check(history);
            if (::testing::Test::HasFailure())
                return;  // the first history that breaks a rule says enough
        }
}

}  // namespace
