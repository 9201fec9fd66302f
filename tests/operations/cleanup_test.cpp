// _Clean_ZR_COM against the simulated board: one report line, whatever happens once a
// session was tried, and 1 only when the clean-up itself was called.
#include "operations_support.h"

using namespace operations_support;
using testing_support::LogText;

namespace {

struct CleanCase {
    const char* name;
    const char* variant;
    const char* simConfig;
    int result;
    int com;
    int general;
    std::vector<std::string> journal;
};

void PrintTo(const CleanCase& c, std::ostream* os)
{
    *os << c.name;
}

class CleanTable : public BoardOperationsTest, public ::testing::WithParamInterface<CleanCase> { };

TEST_P(CleanTable, OneReportLineAndTheSessionAroundTheCleanup)
{
    const CleanCase& c = GetParam();
    if (c.variant[0] != '\0') {
        ASSERT_NO_FATAL_FAILURE(Restart(Start(c.variant)));
    }
    SimConfig(c.simConfig);
    EXPECT_EQ(Clean(), c.result);
    EXPECT_EQ(Log(), LogText(ReportLine("Clean_ZR_COM", c.com, c.general)));
    EXPECT_EQ(Journal(), c.journal);
}

std::vector<CleanCase> CleanCases()
{
    return {
        {"Default", "", "", 1, 3, 0, {kOpen, "CleanupZR", CloseLine()}},
        {"CleanupResultIgnored", "", "[cleanup]\nresult=0\n", 1, 3, 0, {kOpen, "CleanupZR", CloseLine()}},
        // The line shows the record the open filled.
        {"ReportsOfTheOpen", "", "[open]\ncom=5\ngeneral=6\n", 1, 5, 6, {kOpen, "CleanupZR", CloseLine(5, 6)}},
        {"SessionRefused", "", "[open]\nresult=0\ncom=12\ngeneral=6\n", 0, 12, 6, {kOpen}},
        {"SessionRefusedNegative", "", "[open]\nresult=-2\ncom=-1\ngeneral=0\n", 0, -1, 0, {kOpen}},
        {"WithoutCleanupZR", "quelvane_without_CleanupZR", "", 0, 3, 0, {kOpen, CloseLine()}},
    };
}

INSTANTIATE_TEST_SUITE_P(Boards, CleanTable, ::testing::ValuesIn(CleanCases()), CaseName<CleanCase>);

}  // namespace
