// The update engine against a stand-in board whose flash holds a banner: every outcome,
// what reached the board, and the history record each run leaves.
#include "history/history.h"
#include "manifest/manifest.h"
#include "manifest/manifest_check.h"
#include "support/files.h"
#include "support/trace_text.h"
#include "engine/update_engine.h"
#include "words/language.h"

#include <gtest/gtest.h>

#include <functional>

#include <cctype>
#include <cstring>

using namespace torvexupdate;
using testing_support::ApplicationImage;
using testing_support::ReadFile;
using testing_support::ScratchFolder;
using testing_support::WriteFile;

namespace {

struct Step {
    int result;
    bool writes;            // the flash takes the file's banner,
    int slippedField = -1;  // with one byte of this field (0 to 4) changed
};

// The stand-in board: the banner in its flash ("" = empty) and the download results to give.
struct StandInBoard {
    std::string flash;
    std::vector<Step> steps;
    int downloads = 0;
    std::string lastPath;
    std::string historyPath;
    std::string historySeen;  // the history as it was on the disk when the module got the file
    int flushes = 0;          // records committed to the disk so far
    int flushesSeen = -1;     // ... when the module got the file
} standIn;

bool CountedFlush(std::FILE* file)
{
    ++standIn.flushes;
    return std::fflush(file) == 0;
}

int TORVEX_CALL StandInDownload(const char* path)
{
    standIn.lastPath = path;
    standIn.historySeen = ReadFile(standIn.historyPath);
    standIn.flushesSeen = standIn.flushes;
    Step step = standIn.steps.at(static_cast<std::size_t>(standIn.downloads++));
    if (step.writes)
        standIn.flash = ReadFile(path).substr(8, 48);
    if (step.writes && step.slippedField >= 0) {
        std::size_t start = 0;
        for (int field = 0; field < step.slippedField; ++field)
            start = standIn.flash.find('\0', start) + 1;
        standIn.flash[start] ^= 1;  // "APP-NEW" becomes "@PP-NEW", "2.0" becomes "3.0"
    }
    return step.result;
}

int TORVEX_CALL StandInVersion(int, char* buffer)
{
    if (!standIn.flash.empty())
        std::memcpy(buffer, standIn.flash.data(), TORVEX_VERSION_BUFFER_SIZE);
    return 1;
}

int TORVEX_CALL StandInReference(char* buffer, int)
{
    std::strcpy(buffer, "REF-7");
    return 1;
}

// Opens the stand-in board, counting the openings in `opened` when given.
std::function<bool(BoardCalls*)> OpenStandIn(int* opened = nullptr)
{
    return [opened](BoardCalls* calls) {
        if (opened != nullptr)
            ++*opened;
        calls->download = StandInDownload;
        calls->version = StandInVersion;
        calls->reference = StandInReference;
        return true;
    };
}

const std::vector<std::string> kNew = {"APP-NEW", "2.0", "RT", "BRD", "20261208"};
const std::vector<std::string> kOld = {"APP-OLD", "1.0", "RT", "BRD", "20250101"};

struct Case {
    std::string name;
    std::string file;
    std::vector<std::string> before;  // empty: no application in flash
    std::vector<Step> steps;
    bool force;
    int retries;
    Outcome outcome;
    AfterFailure afterFailure;
    const char* bannerAfter;  // in the record; nullptr: null
    const char* outcomeName;  // in the record
};

// clang-format off
const std::vector<Case> kTable = {
    {"new application", ApplicationImage(kNew), kOld, {{1, true}}, false, 0, Outcome::kAccepted, AfterFailure::kUnknown,
     "APP-NEW2.0RTBRD20261208", "accepted"},
    {"same application skipped", ApplicationImage(kNew), kNew, {}, false, 0, Outcome::kSkipped, AfterFailure::kUnknown,
     "APP-NEW2.0RTBRD20261208", "skipped"},
    {"same application forced", ApplicationImage(kNew), kNew, {{1, true}}, true, 0, Outcome::kAccepted,
     AfterFailure::kUnknown, "APP-NEW2.0RTBRD20261208", "accepted"},
    {"not an application", "HDR-0001tiny", kOld, {}, false, 0, Outcome::kNotApplication, AfterFailure::kUnknown,
     nullptr, "not_application"},
    {"flaky link, two retries", ApplicationImage(kNew), {}, {{-1, false}, {-1, false}, {1, true}}, false, 2,
     Outcome::kAccepted, AfterFailure::kUnknown, "APP-NEW2.0RTBRD20261208", "accepted"},
    {"retries used up", ApplicationImage(kNew), kOld, {{-1, false}, {-1, false}}, false, 1, Outcome::kFailed,
     AfterFailure::kUnchanged, "APP-OLD1.0RTBRD20250101", "failed"},
    {"refused", ApplicationImage(kNew), kOld, {{-2, false}}, false, 3, Outcome::kRefused, AfterFailure::kUnchanged,
     "APP-OLD1.0RTBRD20250101", "refused"},
    {"written, start failed", ApplicationImage(kNew), kOld, {{0, true}}, false, 0, Outcome::kFailed,
     AfterFailure::kWrittenNotStarted, "APP-NEW2.0RTBRD20261208", "failed"},
    {"accepted, flash differs", ApplicationImage(kNew), kOld, {{1, false}}, false, 0, Outcome::kVerifyMismatch,
     AfterFailure::kUnknown, "APP-OLD1.0RTBRD20250101", "verify_mismatch"},
    {"a board whose first field is empty is no empty board", ApplicationImage(kNew), {"", "2.0", "RT", "BRD", "20261208"},
     {{1, true}}, false, 0, Outcome::kAccepted, AfterFailure::kUnknown, "APP-NEW2.0RTBRD20261208", "accepted"},
};
// clang-format on

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

// Every banner field changed alone: the board's application before (no skip), and the
// flash after a download (a mismatch), each differing from the file's in that field only.
const std::vector<Case> kCases = [] {
    const char* const slipped[] = {"@PP-NEW2.0RTBRD20261208", "APP-NEW3.0RTBRD20261208", "APP-NEW2.0STBRD20261208",
                                   "APP-NEW2.0RTCRD20261208", "APP-NEW2.0RTBRD30261208"};
    std::vector<Case> cases = kTable;
    for (int field = 0; field < 5; ++field) {
        std::vector<std::string> before = kNew;
        before[static_cast<std::size_t>(field)] += "x";
        cases.push_back({"board differs in field " + std::to_string(field + 1),
                         ApplicationImage(kNew),
                         before,
                         {{1, true}},
                         false,
                         0,
                         Outcome::kAccepted,
                         AfterFailure::kUnknown,
                         "APP-NEW2.0RTBRD20261208",
                         "accepted"});
        cases.push_back({"flash after differs in field " + std::to_string(field + 1),
                         ApplicationImage(kNew),
                         kOld,
                         {{1, true, field}},
                         false,
                         0,
                         Outcome::kVerifyMismatch,
                         AfterFailure::kUnknown,
                         slipped[field],
                         "verify_mismatch"});
    }
    return cases;
}();

class UpdateEngine : public ::testing::TestWithParam<Case> { };

TEST_P(UpdateEngine, OutcomesBoardTrafficAndHistoryRecords)
{
    const Case& c = GetParam();
    ScratchFolder folder("engine");
    WriteFile(folder.File("app.bin"), c.file);
    standIn = StandInBoard{};
    if (!c.before.empty())
        standIn.flash = testing_support::Banner(c.before);
    standIn.steps = c.steps;

    UpdateOptions options;
    options.force = c.force;
    options.retries = c.retries;
    options.program = "test";
    options.historyPath = folder.File("h.jsonl");
    standIn.historyPath = options.historyPath;
    UpdateEvents events;
    int opened = 0;
    events.openBoard = OpenStandIn(&opened);
    int retries = 0;
    events.retrying = [&](int number, int total, int previous) {
        EXPECT_EQ(number, retries + 2);
        EXPECT_EQ(total, c.retries + 1);
        EXPECT_EQ(previous, -1);
        ++retries;
    };

    UpdateFile file = InspectFile(folder.File("app.bin"));
    DiskFlush system = SetDiskFlush(CountedFlush);
    UpdateReport report = RunUpdate(file, options, events);
    SetDiskFlush(system);
    EXPECT_EQ(report.outcome, c.outcome);
    EXPECT_EQ(standIn.downloads, static_cast<int>(c.steps.size()));
    EXPECT_EQ(report.attempts.size(), c.steps.size());
    EXPECT_EQ(retries, c.steps.empty() ? 0 : static_cast<int>(c.steps.size()) - 1);
    EXPECT_EQ(opened, c.outcome == Outcome::kNotApplication ? 0 : 1);
    if (c.outcome == Outcome::kRefused || c.outcome == Outcome::kFailed) {
        EXPECT_EQ(report.afterFailure, c.afterFailure);
    }
    if (!c.steps.empty()) {
        EXPECT_EQ(standIn.lastPath, file.narrow.bytes);
    }

    History history = ReadHistory(options.historyPath);
    // Every download is written ahead: a started record on the disk before the module has
    // the file, and the outcome after it with the same id; each committed to the disk.
    ASSERT_EQ(history.records.size(), c.steps.empty() ? 1u : 2u);
    EXPECT_EQ(standIn.flushes, static_cast<int>(history.records.size()));
    EXPECT_EQ(standIn.flushesSeen, c.steps.empty() ? -1 : 1);
    const Record& record = history.records.back();
    EXPECT_FALSE(record.contains("record"));
    EXPECT_EQ(record["id"], report.id);
    if (!c.steps.empty()) {
        const Record& started = history.records[0];
        EXPECT_EQ(standIn.historySeen, started.dump() + "\n");
        EXPECT_EQ(started["record"], "started");
        EXPECT_EQ(started["id"], report.id);
        for (const char* key : {"time", "program", "machine", "file", "size", "sha256", "board", "banner_before"})
            EXPECT_EQ(started[key], record[key]) << key;
    }
    EXPECT_EQ(record["outcome"], c.outcomeName);
    EXPECT_EQ(record["result"]["words"], OutcomeWords(report));
    EXPECT_EQ(record["size"], c.file.size());
    EXPECT_EQ(record["sha256"].get<std::string>().size(), 64u);
    if (c.outcome == Outcome::kNotApplication) {
        EXPECT_TRUE(record["board"].is_null());
        EXPECT_TRUE(record["result"]["code"].is_null());
    } else {
        EXPECT_EQ(record["board"], "REF-7");
        EXPECT_EQ(record["banner_before"],
                  c.before.empty() ? Record(nullptr) : Record(testing_support::Joined(c.before)));
    }
    if (c.bannerAfter) {
        EXPECT_EQ(record["banner_after"], c.bannerAfter);
    } else {
        EXPECT_TRUE(record["banner_after"].is_null());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, UpdateEngine, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& row) {
                             std::string name;
                             for (char c : row.param.name)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

TEST(UpdateEngineBoard, ThatCannotBeOpenedIsRecordedAndNothingIsCalled)
{
    ScratchFolder folder("engine");
    WriteFile(folder.File("app.bin"), ApplicationImage(kNew));
    UpdateOptions options;
    options.historyPath = folder.File("h.jsonl");
    options.updateId = "named-in-the-lock";
    UpdateEvents events;
    events.openBoard = [](BoardCalls*) { return false; };
    UpdateReport report = RunUpdate(InspectFile(folder.File("app.bin")), options, events);
    EXPECT_EQ(report.outcome, Outcome::kBoardUnavailable);
    History history = ReadHistory(options.historyPath);
    ASSERT_EQ(history.records.size(), 1u);
    EXPECT_EQ(history.records[0]["outcome"], "board_unavailable");
    EXPECT_EQ(history.records[0]["id"], "named-in-the-lock");

    report = RunUpdate(InspectFile(folder.File("missing.bin")), options, events);
    EXPECT_EQ(report.outcome, Outcome::kFileUnreadable);
    EXPECT_EQ(ReadHistory(options.historyPath).records.size(), 2u);
}

// The same banner on the board is written again while the history contradicts it (the
// pairing rules are history_test's), and skipped once the write has finished.
TEST(UpdateEngineBoard, SameBannerIsWrittenAgainAfterAnInterruptedUpdate)
{
    ScratchFolder folder("engine");
    WriteFile(folder.File("app.bin"), ApplicationImage(kNew));
    standIn = StandInBoard{};
    standIn.flash = testing_support::Banner(kNew);
    standIn.steps = {{1, true}};
    UpdateOptions options;
    options.historyPath = folder.File("h.jsonl");
    standIn.historyPath = options.historyPath;
    std::string error;
    ASSERT_TRUE(AppendRecord(options.historyPath,
                             Record{{"record", "started"}, {"id", "x"}, {"board", "REF-7"}, {"file", "torn.bin"}},
                             &error));
    UpdateEvents events;
    events.openBoard = OpenStandIn();
    std::string heard;
    events.accountRead = [&](const BoardAccount& account) {
        heard = account.MayBeIncomplete() ? account.lastWrite->value("file", "") : "";
    };

    std::string told;
    events.boardRead = [&](const BoardContent&, bool, const std::string& because) { told = because; };

    // Told in French, recorded in English.
    UpdateReport report;
    {
        ThreadLanguage french(Language::kFrench);
        report = RunUpdate(InspectFile(folder.File("app.bin")), options, events);
    }
    EXPECT_EQ(report.outcome, Outcome::kAccepted);
    EXPECT_EQ(standIn.downloads, 1);
    EXPECT_EQ(heard, "torn.bin");
    EXPECT_NE(told.find("a été interrompue"), std::string::npos) << told;
    EXPECT_NE(report.writtenAgainBecause.find("was interrupted"), std::string::npos) << report.writtenAgainBecause;
    EXPECT_EQ(ReadHistory(options.historyPath).records.back()["written_again_because"], report.writtenAgainBecause);

    report = RunUpdate(InspectFile(folder.File("app.bin")), options, events);
    EXPECT_EQ(report.outcome, Outcome::kSkipped);
    EXPECT_EQ(heard, "");
}

}  // namespace

// The manifest beside the file: refusals come before anything is written (a file that
// differs, before the board is even opened), the release version the board carries comes
// from the history, and the record says what was checked and allowed.
TEST(UpdateEngine, ManifestRefusalsWriteNothingAndRecordsSayWhatWasChecked)
{
    struct ManifestCase {
        const char* name;
        std::vector<std::string> boards;  // the manifest's patterns
        std::string version;              // the file's release version
        const char* historyVersion;       // the version recorded for the board's current banner
        bool cut;                         // the file loses its last byte after its manifest is made
        bool allowOlder;
        Outcome outcome;
        const char* refusal;  // in the record; nullptr: null
        int opened;
    };
    const ManifestCase cases[] = {
        {"cut copy", {}, "2.0.0", nullptr, true, false, Outcome::kManifestRefused, "size", 0},
        {"wrong board", {"SIM-*"}, "2.0.0", nullptr, false, false, Outcome::kManifestRefused, "wrong_board", 1},
        {"older version", {"REF-?"}, "2.0.0", "2.1.0", false, false, Outcome::kManifestRefused, "older_version", 1},
        {"older version allowed", {}, "2.0.0", "2.1.0", false, true, Outcome::kAccepted, nullptr, 1},
        {"newer version", {}, "2.0.0", "1.9.9", false, false, Outcome::kAccepted, nullptr, 1},
    };
    for (const ManifestCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder("engine-manifest");
        const std::string app = folder.File("app.bin");
        WriteFile(app, ApplicationImage(kNew));
        Manifest manifest;
        std::string problem;
        ASSERT_TRUE(MakeManifest(FactsOfFile(app), {c.version, c.boards, "", ""}, &manifest, &problem)) << problem;
        ASSERT_TRUE(WriteManifestFile(ManifestPathFor(app), manifest, &problem)) << problem;
        if (c.cut)
            WriteFile(app, ApplicationImage(kNew).substr(0, ApplicationImage(kNew).size() - 1));
        UpdateOptions options;
        options.historyPath = folder.File("h.jsonl");
        options.manifest.allowOlder = c.allowOlder;
        if (c.historyVersion) {
            Record earlier = {{"board", "REF-7"},
                              {"outcome", "accepted"},
                              {"file_banner", "APP-OLD1.0RTBRD20250101"},
                              {"manifest", {{"version", c.historyVersion}}}};
            std::string ignored;
            ASSERT_TRUE(AppendRecord(options.historyPath, earlier, &ignored));
        }
        standIn = StandInBoard{};
        standIn.flash = ApplicationImage(kOld).substr(8, 48);
        standIn.steps = {{1, true}};
        int opened = 0;
        UpdateEvents events;
        events.openBoard = OpenStandIn(&opened);
        UpdateReport report = RunUpdate(InspectFile(app), options, events);
        EXPECT_EQ(report.outcome, c.outcome) << report.manifest.words;
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(standIn.downloads, c.outcome == Outcome::kAccepted ? 1 : 0);

        const Record record = ReadHistory(options.historyPath).records.back();
        EXPECT_EQ(record["manifest"]["checked"], true);
        EXPECT_EQ(record["manifest"]["version"], c.version);
        EXPECT_EQ(record["manifest"]["refusal"], c.refusal ? Record(c.refusal) : Record(nullptr));
        EXPECT_EQ(record["manifest"]["overrides"], c.allowOlder ? Record({"allow-older"}) : Record::array());
        if (c.outcome == Outcome::kManifestRefused) {
            EXPECT_EQ(record["result"]["words"], report.manifest.words + "; nothing was written");
        }
    }

    // Refused while people read French: the record keeps the English reason.
    const std::pair<const char*, const char*> malformed[] = {
        {"[]", "it is not a JSON object"},
        {"{\"format\": \"torvex-manifest\"}", "field \"format_version\" is missing"},
    };
    for (const auto& [text, problem] : malformed) {
        ScratchFolder folder("engine-manifest");
        const std::string app = folder.File("app.bin");
        WriteFile(app, ApplicationImage(kNew));
        WriteFile(ManifestPathFor(app), text);
        UpdateOptions options;
        options.historyPath = folder.File("h.jsonl");
        UpdateEvents events;
        int opened = 0;
        events.openBoard = OpenStandIn(&opened);
        ThreadLanguage french(Language::kFrench);
        UpdateReport report = RunUpdate(InspectFile(app), options, events);
        EXPECT_EQ(report.outcome, Outcome::kManifestRefused);
        EXPECT_NE(report.manifest.words.find("est mal formé"), std::string::npos) << report.manifest.words;
        EXPECT_EQ(ReadHistory(options.historyPath).records.back()["result"]["words"],
                  std::string("its manifest app.bin.manifest.json is malformed: ") + problem + "; nothing was written");
    }
}
