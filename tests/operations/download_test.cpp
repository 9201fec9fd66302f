// _TelechargeComposant_COM against the simulated board: results, the exact trace, the
// commands the board received, and what ended up in its flash.
#include "operations_support.h"

#include <filesystem>

using namespace operations_support;
using testing_support::FileExists;
using testing_support::LogText;
using testing_support::ReadFile;

namespace {

const std::string kDownloadReport = "\n_ExecuteCommand TelechargeComposant_COM";

class DownloadOperation : public BoardOperationsTest {
protected:
    // An application of 70000 bytes: the length field needs three bytes.
    std::string app_ = MakeApplicationFile(kBannerFields, PatternBytes(70000 - 56));

    // The whole trace of a download the board accepted, with the download's own reports.
    std::string AcceptedTrace(const std::string& path, int com = 3, int general = 0) const
    {
        return DownloadHead(path, kDecodedBanner) + ResetTrace() + ReportLine(kDownloadReport, com, general)
            + StartTrace() + ResetTrace() + DownloadTail();
    }
    std::vector<std::string> AcceptedJournal() const
    {
        return {kOpen,      CommandLine(0x07, 100), DownloadLine(app_), CommandLine(0x12, 100), CommandLine(0x07, 100),
                CloseLine()};
    }
};

TEST_F(DownloadOperation, AcceptedDownloadResetsSendsStartsResetsAndFillsTheFlash)
{
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), 1);
    EXPECT_EQ(Log(), LogText(AcceptedTrace(path)));
    std::vector<std::string> journal = Journal();
    EXPECT_EQ(journal, AcceptedJournal());
    ASSERT_GE(journal.size(), 3u);
    EXPECT_EQ(journal[2].substr(0, 64), "SendCommand arg=0 request=00 30 AA .. 10 27 00 00 70 11 01 00 st");
    EXPECT_TRUE(ReadFile(FlashPath()) == app_) << "the flash does not hold the application file";
}

// A download the library answers as `simConfig` says: the result and the reports logged.
struct ReportCase {
    const char* name;
    const char* simConfig;
    int result;
    int com;
    int general;
};

void PrintTo(const ReportCase& c, std::ostream* os)
{
    *os << c.name;
}

// _SendCommand's non-zero value for the download is the result, whatever the reports say.
class DownloadAccepted : public DownloadOperation, public ::testing::WithParamInterface<ReportCase> { };

TEST_P(DownloadAccepted, PassesTheLibraryValueUp)
{
    const ReportCase& c = GetParam();
    SimConfig(c.simConfig);
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), c.result);
    EXPECT_EQ(Log(), LogText(AcceptedTrace(path, c.com, c.general)));
    EXPECT_EQ(Journal(), AcceptedJournal());
}

INSTANTIATE_TEST_SUITE_P(
    Results, DownloadAccepted,
    ::testing::Values(ReportCase{"Seven", "[command.30]\nresult=7\n", 7, 3, 0},
                      ReportCase{"Negative", "[command.30]\nresult=-3\n", -3, 3, 0},
                      ReportCase{"RefusalCodeIgnoredWhenSent", "[command.30]\nresult=1\ncom=19\ngeneral=4\n", 1, 19, 4},
                      ReportCase{"FailureCodeIgnoredWhenSent", "[command.30]\nresult=2\ncom=50\n", 2, 50, 0},
                      ReportCase{"StatusLeftAtPreset", "[command.30]\nuntouched=1\n", 1, 3, 0}),
    CaseName<ReportCase>);

// _SendCommand returned 0 for the download: no start, no second reset, `com` decides.
class DownloadRefused : public DownloadOperation, public ::testing::WithParamInterface<ReportCase> { };

TEST_P(DownloadRefused, MapsTheReportAndNeitherStartsNorResets)
{
    const ReportCase& c = GetParam();
    SimConfig(c.simConfig);
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), c.result);
    EXPECT_EQ(Log(),
              LogText(DownloadHead(path, kDecodedBanner) + ResetTrace() + ReportLine(kDownloadReport, c.com, c.general)
                      + DownloadTail()));
    EXPECT_EQ(Journal(), (std::vector<std::string>{kOpen, CommandLine(0x07, 100), DownloadLine(app_), CloseLine()}));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, DownloadRefused,
    ::testing::Values(ReportCase{"Com19", "[command.30]\nresult=0\ncom=19\n", -2, 19, 0},
                      ReportCase{"Com48", "[command.30]\nresult=0\ncom=48\ngeneral=7\n", -2, 48, 7},
                      ReportCase{"Com51", "[command.30]\nresult=0\ncom=51\n", -2, 51, 0},
                      ReportCase{"Com50", "[command.30]\nresult=0\ncom=50\n", -1, 50, 0},
                      ReportCase{"Com3", "[command.30]\nresult=0\n", 0, 3, 0},
                      ReportCase{"Com1", "[command.30]\nresult=0\ncom=1\n", 0, 1, 0},
                      ReportCase{"Com2", "[command.30]\nresult=0\ncom=2\ngeneral=1\n", 0, 2, 1},
                      ReportCase{"Com65535", "[command.30]\nresult=0\ncom=65535\ngeneral=65535\n", 0, 65535, 65535}),
    CaseName<ReportCase>);

TEST_F(DownloadOperation, FailedStartGivesZeroAndSkipsTheFinalReset)
{
    SimConfig("[command.12]\nresult=0\ncom=9\n");
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), 0);
    EXPECT_EQ(Log(),
              LogText(DownloadHead(path, kDecodedBanner) + ResetTrace() + ReportLine(kDownloadReport, 3, 0)
                      + StartTrace(9, 0) + DownloadTail()));
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{kOpen, CommandLine(0x07, 100), DownloadLine(app_), CommandLine(0x12, 100),
                                        CloseLine()}));
    EXPECT_TRUE(ReadFile(FlashPath()) == app_) << "the application was written all the same";
}

TEST_F(DownloadOperation, FailedFinalResetGivesZero)
{
    // Every reset fails: the first one's result is ignored, the last one's is not.
    SimConfig("[command.07]\nresult=0\n");
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), 0);
    EXPECT_EQ(Log(), LogText(AcceptedTrace(path)));
    EXPECT_EQ(Journal(), AcceptedJournal());
}

// Nothing to send (a missing or empty file, an empty or null path): the session still
// resets the board, nothing is sent.
enum class NothingToSend { MissingFile, EmptyFile, EmptyPath, NullPath };
struct NothingToSendCase {
    const char* name;
    NothingToSend kind;
};

void PrintTo(const NothingToSendCase& c, std::ostream* os)
{
    *os << c.name;
}

class DownloadNothingToSend : public DownloadOperation, public ::testing::WithParamInterface<NothingToSendCase> { };

TEST_P(DownloadNothingToSend, ResetsTheBoardAndGivesZero)
{
    std::string path;  // as the path line shows it: empty for the empty and the null path
    int result = -1000;
    switch (GetParam().kind) {
    case NothingToSend::MissingFile:
        path = AppPath("missing.com");
        break;
    case NothingToSend::EmptyFile:
        path = WriteApp("");
        break;
    case NothingToSend::EmptyPath:
        break;
    case NothingToSend::NullPath:
        ASSERT_NE(Module().Calls().download, nullptr);
        result = Module().Calls().download(nullptr);
        break;
    }
    if (GetParam().kind != NothingToSend::NullPath)
        result = Download(path);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Log(), LogText(DownloadHead(path, nullptr) + ResetTrace() + DownloadTail()));
    EXPECT_EQ(Journal(), (std::vector<std::string>{kOpen, CommandLine(0x07, 100), CloseLine()}));
    EXPECT_FALSE(FileExists(FlashPath()));
}

INSTANTIATE_TEST_SUITE_P(Files, DownloadNothingToSend,
                         // The empty file: the bad-input row FILE-0, with the same checks.
                         ::testing::Values(NothingToSendCase{"Missing", NothingToSend::MissingFile},
                                           NothingToSendCase{"EmptyPath", NothingToSend::EmptyPath},
                                           NothingToSendCase{"NullPath", NothingToSend::NullPath}),
                         CaseName<NothingToSendCase>);

// Files of any size are sent whole; from 58 bytes on, the banner at offset 8 is logged.
struct SizeCase {
    std::size_t size;
    bool bannerLine;
};

void PrintTo(const SizeCase& c, std::ostream* os)
{
    *os << c.size << " bytes";
}

class DownloadSize : public DownloadOperation, public ::testing::WithParamInterface<SizeCase> { };

TEST_P(DownloadSize, SendsTheWholeFileAndLogsTheBannerFrom58Bytes)
{
    std::string app = MakeApplicationFile(kBannerFields, PatternBytes(200)).substr(0, GetParam().size);
    std::string path = WriteApp(app);
    EXPECT_EQ(Download(path), 1);
    EXPECT_EQ(Log(),
              LogText(DownloadHead(path, GetParam().bannerLine ? kDecodedBanner : nullptr) + ResetTrace()
                      + ReportLine(kDownloadReport, 3, 0) + StartTrace() + ResetTrace() + DownloadTail()));
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{kOpen, CommandLine(0x07, 100), DownloadLine(app), CommandLine(0x12, 100),
                                        CommandLine(0x07, 100), CloseLine()}));
    EXPECT_TRUE(ReadFile(FlashPath()) == app);
}

INSTANTIATE_TEST_SUITE_P(Sizes, DownloadSize,
                         // 57 and 58 bytes: the bad-input rows FILE-57 and FILE-58, with the same checks.
                         ::testing::Values(SizeCase{1, false}, SizeCase{256, true}),
                         [](const ::testing::TestParamInfo<SizeCase>& p) {
                             return "Bytes" + std::to_string(p.param.size);
                         });

TEST_F(DownloadOperation, BannerFieldsAreJoinedAtTheirColumns)
{
    // A first field short of column 14 gets no space; a text past column 24 is cut there.
    std::string app = MakeApplicationFile({"ABC", std::string(25, 'B'), "CD", "EF", "GH"}, "body");
    std::string path = WriteApp(app);
    EXPECT_EQ(Download(path), 1);
    EXPECT_EQ(testing_support::SplitLines(Log()).at(3),
              std::string("Version \xE0 t\xE9l\xE9") + "charger : ABC" + std::string(21, 'B') + " CDEFGH");
}

// A session that does not open: its reports are logged, nothing else reaches the library.
struct SessionRefusedCase {
    const char* name;
    const char* simConfig;
    int com;
    int general;
};

void PrintTo(const SessionRefusedCase& c, std::ostream* os)
{
    *os << c.name;
}

class DownloadSessionRefused : public DownloadOperation, public ::testing::WithParamInterface<SessionRefusedCase> { };

TEST_P(DownloadSessionRefused, LogsTheFailedOpenAndGivesZero)
{
    const SessionRefusedCase& c = GetParam();
    SimConfig(c.simConfig);
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), 0);
    EXPECT_EQ(Log(),
              LogText(DownloadHead(path, kDecodedBanner) + ReportLine("OpenCommSession NOK", c.com, c.general)
                      + DownloadTail()));
    EXPECT_EQ(Journal(), std::vector<std::string>{kOpen});
    EXPECT_FALSE(FileExists(FlashPath()));
}

INSTANTIATE_TEST_SUITE_P(Opens, DownloadSessionRefused,
                         ::testing::Values(SessionRefusedCase{"Zero", "[open]\nresult=0\ncom=12\ngeneral=5\n", 12, 5},
                                           SessionRefusedCase{"Negative", "[open]\nresult=-1\ncom=-4\ngeneral=0\n", -4,
                                                              0}),
                         CaseName<SessionRefusedCase>);

// A board that cannot store the application reports the download as failed (com 50
// with a zero result), which the host sees as -1; nothing is started.
TEST_F(DownloadOperation, BoardThatCannotStoreReportsAFailedDownload)
{
    std::filesystem::create_directory(FlashPath());  // the flash image cannot be written
    std::string path = WriteApp(app_);
    EXPECT_EQ(Download(path), -1);
    EXPECT_EQ(Log(),
              LogText(DownloadHead(path, kDecodedBanner) + ResetTrace() + ReportLine(kDownloadReport, 50, 0)
                      + DownloadTail()));
    EXPECT_EQ(Journal(), (std::vector<std::string>{kOpen, CommandLine(0x07, 100), DownloadLine(app_), CloseLine()}));
}

}  // namespace
