// The history file: records survive a torn last line, damaged lines are skipped with a
// warning, the location rule, and the system's SHA-256; how the history is read back: local
// times with their offset, dates people type, filters, CSV quoting.
#include "history.h"
#include "history_view.h"
#include "support/files.h"
#include "system_facts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace torvexupdate;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

Record Numbered(int n)
{
    return Record{{"time", "2026-12-08T10:00:0" + std::to_string(n) + "Z"}, {"n", n}};
}

TEST(History, TornAndDamagedLinesAreSkippedAndNeverStopTheNextAppend)
{
    ScratchFolder folder("history");
    std::string path = folder.File("torvex-history.jsonl");
    std::string error;
    ASSERT_TRUE(AppendRecord(path, Numbered(1), &error)) << error;
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
    ASSERT_EQ(selected.size(), 2u);  // the unreadable time is left out
    EXPECT_EQ(selected[0]["time"], "2026-12-03T10:00:00Z");
    EXPECT_EQ(selected[1]["time"], "2026-12-02T10:00:00Z");
}

TEST(HistoryView, CsvQuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(CsvRow({"plain", "", "a,b", "say \"hi\"", "two\nlines", "cr\r"}),
              "plain,,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\"");
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

}  // namespace
