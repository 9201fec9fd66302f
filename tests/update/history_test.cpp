// The history file: records survive a torn last line, damaged lines are skipped with a
// warning, the location rule, and the system's SHA-256.
#include "history.h"
#include "support/files.h"
#include "system_facts.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
