// _GetVersionComposant_COM against the simulated board: the result for each report, what
// is fetched into the host's buffer (and never past its 48 bytes), and the trace.
#include "operations_support.h"

#include <climits>

using namespace operations_support;
using testing_support::LogText;
using testing_support::WriteFile;

namespace {

const BannerFields kBoardFields = {"TVX-COM-BOOT02", "V02.00.13", "231104", "AB12CD", "RC3"};
const char kBoardDecoded[] = "TVX-COM-BOOT02 V02.00.13 231104 AB12CD RC3";

// The host's buffer: the 48 bytes the module may fill, then canary bytes it must not touch.
// Large enough that a fetch of a 200-byte announcement would stay inside the allocation
// and show up as overwritten canary bytes.
constexpr std::size_t kHostBufferSize = TORVEX_VERSION_BUFFER_SIZE + 208;
constexpr char kCanary = 'Z';

std::string Untouched()
{
    return std::string(kHostBufferSize, kCanary);
}

std::string Holding(const std::string& reply)
{
    return reply + std::string(kHostBufferSize - reply.size(), kCanary);
}

std::string VersionLine(const std::string& decoded)
{
    return "Version Composant  : " + decoded + "\n";
}

std::string GetResultLine(std::uint32_t length, int com, int general)
{
    return "GetResult arg=0 length=" + std::to_string(length) + " report=" + std::to_string(general) + ","
        + std::to_string(com) + ",0";
}

std::string VersionTrace(const std::string& middle)
{
    return Entry("GetVersionComposant_COM") + middle + "\n" + Exit("GetVersionComposant_COM") + kSeparator;
}

std::string VersionReport(int com, int general)
{
    return testing_support::CommandReport("GetVersionComposant_COM", com, general);
}

const char kFlashEmptyLine[] = "Pas d'application ecrite en Flash - Banniere VIDE\n";

class VersionOperation : public BoardOperationsTest {
protected:
    // Puts an application with the board's banner into the simulated flash.
    void FlashApplication() const { WriteFile(FlashPath(), MakeApplicationFile(kBoardFields, PatternBytes(100))); }

    int Call(int first = 0)
    {
        buffer_.assign(kHostBufferSize, kCanary);
        return Version(first, buffer_.data());
    }
    std::string Buffer() const { return std::string(buffer_.data(), buffer_.size()); }

    std::vector<char> buffer_;
};

struct VersionCase {
    std::string name;
    bool flash;
    std::string simConfig;
    int result;
    std::string middle;     // the log between the entry and the exit lines
    std::string getResult;  // the journal's GetResult line, "" when nothing is fetched
    std::string buffer;     // the host's buffer afterwards, canary included
};

void PrintTo(const VersionCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<VersionCase> VersionCases()
{
    const std::string banner = Banner(kBoardFields);
    const std::string fetched = VersionLine(kBoardDecoded);
    return {
        {"Com1General9", true, "[command.fa]\ncom=1\ngeneral=9\n", 1, VersionReport(1, 9) + fetched,
         GetResultLine(48, 1, 9), Holding(banner)},
        {"Com3General9", true, "[command.fa]\ncom=3\ngeneral=9\n", 1, VersionReport(3, 9) + fetched,
         GetResultLine(48, 3, 9), Holding(banner)},
        {"Com3General0", true, "", 1, VersionReport(3, 0) + fetched, GetResultLine(48, 3, 0), Holding(banner)},
        {"ResultIsGetResultValue", true, "[command.fa]\nresult=2\n[getresult]\nresult=6\n", 6,
         VersionReport(3, 0) + fetched, GetResultLine(48, 3, 0), Holding(banner)},
        {"FailedFetchIsStillDecoded", true, "[getresult]\nresult=0\n", 0, VersionReport(3, 0) + fetched,
         GetResultLine(48, 3, 0), Holding(banner)},
        {"SendCommandZeroStillFetches", true, "[command.fa]\nresult=0\n", 1, VersionReport(3, 0) + fetched,
         GetResultLine(48, 3, 0), Holding(banner)},
        {"NoReplyGivesSendCommandValue", true, "[command.fa]\nresult=4\nreplyLength=0\n", 4, VersionReport(3, 0), "",
         Untouched()},
        {"NoReplyAndSendCommandZero", true, "[command.fa]\nresult=0\ncom=1\nreplyLength=0\n", 0, VersionReport(1, 0),
         "", Untouched()},
        {"EmptyFlash", false, "", 1, VersionReport(37, 0) + kFlashEmptyLine, "", Untouched()},
        {"Com37WhateverTheRest", true, "[command.fa]\nresult=0\ncom=37\ngeneral=2\n", 1,
         VersionReport(37, 2) + kFlashEmptyLine, "", Untouched()},
        {"Com2", true, "[command.fa]\ncom=2\n", 0, VersionReport(2, 0), "", Untouched()},
        {"Com0", true, "[command.fa]\ncom=0\n", 0, VersionReport(0, 0), "", Untouched()},
        {"Com65535", true, "[command.fa]\ncom=65535\ngeneral=65535\n", 0, VersionReport(65535, 65535), "", Untouched()},
        // A reply shorter than 48 bytes whose last field has no terminator: only its own
        // bytes are fetched and decoded, the canary behind it is neither read nor written.
        {"ShortUnterminatedReply", false, "[command.fa]\ncom=3\nreply=41 42 43 00 44 45 46 47\n", 1,
         VersionReport(3, 0) + VersionLine("ABCDEFG"), GetResultLine(8, 3, 0), Holding(std::string("ABC\0DEFG", 8))},
        // Announced lengths beyond the host's 48 bytes are fetched as 48.
        {"Announced200", true, "[command.fa]\nreplyLength=200\n", 1, VersionReport(3, 0) + fetched,
         GetResultLine(48, 3, 0), Holding(banner)},
        {"AnnouncedFFFFFFFF", true, "[command.fa]\nreplyLength=0xFFFFFFFF\n", 1, VersionReport(3, 0) + fetched,
         GetResultLine(48, 3, 0), Holding(banner)},
        {"Reply64Bytes", false, "[command.fa]\ncom=3\nreply=" + Hex(banner + std::string(16, 'X')) + "\n", 1,
         VersionReport(3, 0) + fetched, GetResultLine(48, 3, 0), Holding(banner)},
    };
}

class VersionTable : public VersionOperation, public ::testing::WithParamInterface<VersionCase> { };

TEST_P(VersionTable, ResultTraceJournalAndBuffer)
{
    const VersionCase& c = GetParam();
    if (c.flash)
        FlashApplication();
    SimConfig(c.simConfig);
    EXPECT_EQ(Call(), c.result);
    EXPECT_EQ(Log(), LogText(VersionTrace(c.middle)));
    std::vector<std::string> journal = {kOpen, CommandLine(0xFA, 100)};
    if (!c.getResult.empty())
        journal.push_back(c.getResult);
    journal.push_back(CloseLine());
    EXPECT_EQ(Journal(), journal);
    EXPECT_EQ(Hex(Buffer()), Hex(c.buffer));
}

INSTANTIATE_TEST_SUITE_P(Reports, VersionTable, ::testing::ValuesIn(VersionCases()), CaseName<VersionCase>);

TEST_F(VersionOperation, RefusedSessionGivesOneAndLeavesTheBuffer)
{
    FlashApplication();
    SimConfig("[open]\nresult=0\ncom=7\ngeneral=2\n");
    EXPECT_EQ(Call(), 1);
    EXPECT_EQ(Log(), LogText(VersionTrace(ReportLine("OpenCommSession NOK", 7, 2))));
    EXPECT_EQ(Journal(), std::vector<std::string>{kOpen});
    EXPECT_EQ(Buffer(), Untouched());
}

TEST_F(VersionOperation, FirstArgumentChangesNothing)
{
    FlashApplication();
    SimConfig("[command.fa]\ncom=1\ngeneral=9\n[getresult]\nresult=3\n");
    const int firsts[] = {0, 12345, -1, INT_MIN, INT_MAX};
    std::string log0, buffer0;
    std::vector<std::string> journal0;
    for (int first : firsts) {
        SCOPED_TRACE(first);
        ClearTraces();
        EXPECT_EQ(Call(first), 3);
        if (first == 0) {
            log0 = Log();
            journal0 = Journal();
            buffer0 = Buffer();
            EXPECT_FALSE(log0.empty());
        } else {
            EXPECT_EQ(Log(), log0);
            EXPECT_EQ(Journal(), journal0);
            EXPECT_EQ(Buffer(), buffer0);
        }
    }
}

TEST_F(VersionOperation, WithoutGetResultGivesSendCommandValueAndFetchesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Restart(Start("quelvane_without_GetResult")));
    FlashApplication();
    SimConfig("[command.fa]\nresult=5\n");
    EXPECT_EQ(Call(), 5);
    EXPECT_EQ(Log(), LogText(VersionTrace(VersionReport(3, 0))));
    EXPECT_EQ(Journal(), (std::vector<std::string>{kOpen, CommandLine(0xFA, 100), CloseLine()}));
    EXPECT_EQ(Buffer(), Untouched());
}

}  // namespace
