// _GetReferenceBoard_COM against the simulated board: the host's length reaches the
// library unchanged, the reference is logged within it, and failures give 0.
#include "operations_support.h"

using namespace operations_support;
using testing_support::LogText;

namespace {

constexpr std::size_t kHostBufferSize = 64;
constexpr char kCanary = 'Z';

std::string ReferenceTrace(const std::string& middle)
{
    return Entry("GetReferenceBoard_COM") + middle + "\n" + Exit("GetReferenceBoard_COM") + kSeparator;
}

std::string InfoReport(int com, int general)
{
    return ReportLine("\n_BoardGetInfo", com, general);
}

struct ReferenceCase {
    const char* name;
    const char* simConfig;
    int length;
    int result;
    std::string referenceLine;  // "" when none
    int com;
    int general;
    std::string written;  // what the library left at the start of the host's buffer
};

void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReferenceTable : public BoardOperationsTest, public ::testing::WithParamInterface<ReferenceCase> { };

TEST_P(ReferenceTable, ResultTraceAndJournal)
{
    const ReferenceCase& c = GetParam();
    SimConfig(c.simConfig);
    std::vector<char> buffer(kHostBufferSize, kCanary);
    EXPECT_EQ(Reference(buffer.data(), c.length), c.result);
    EXPECT_EQ(Log(), LogText(ReferenceTrace(c.referenceLine + InfoReport(c.com, c.general))));
    // The length as the host gave it, and the record preset to general 0, com 3, aux 0.
    EXPECT_EQ(Journal(),
              (std::vector<std::string>{
                  kOpen, "BoardGetInfo args=0,2 length=" + std::to_string(c.length) + " report=0,3,0", CloseLine()}));
    EXPECT_EQ(std::string(buffer.data(), buffer.size()),
              c.written + std::string(kHostBufferSize - c.written.size(), kCanary));
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ReferenceTable,
    ::testing::Values(ReferenceCase{"Default", "", 64, 1, "\nReference Carte SIM-BOARD-0001\n", 3, 0,
                                    std::string("SIM-BOARD-0001\0", 15)},
                      ReferenceCase{"OtherReference", "[boardinfo]\nreference=REF 42/B-7\n", 40, 1,
                                    "\nReference Carte REF 42/B-7\n", 3, 0, std::string("REF 42/B-7\0", 11)},
                      ReferenceCase{"ReportsAsTheLibraryLeftThem", "[boardinfo]\ncom=1\ngeneral=8\n", 64, 1,
                                    "\nReference Carte SIM-BOARD-0001\n", 1, 8, std::string("SIM-BOARD-0001\0", 15)},
                      // The library cut the reference to fit the 5 bytes the host stated.
                      ReferenceCase{"ShortLength", "", 5, 1, "\nReference Carte SIM-\n", 3, 0,
                                    std::string("SIM-\0", 5)},
                      // No terminator within `length` bytes: the log shows those bytes and nothing behind them.
                      ReferenceCase{"Unterminated", "[boardinfo]\nunterminated=1\n", 10, 1,
                                    "\nReference Carte SIM-BOARD-\n", 3, 0, "SIM-BOARD-"},
                      ReferenceCase{"Failed", "[boardinfo]\nresult=0\ncom=9\ngeneral=4\n", 64, 0, "", 9, 4,
                                    std::string("SIM-BOARD-0001\0", 15)},
                      ReferenceCase{"NegativeIsNonZero", "[boardinfo]\nresult=-1\ncom=2\n", 64, 1,
                                    "\nReference Carte SIM-BOARD-0001\n", 2, 0, std::string("SIM-BOARD-0001\0", 15)}),
    CaseName<ReferenceCase>);

TEST_F(BoardOperationsTest, ReferenceWithRefusedSessionGivesZero)
{
    SimConfig("[open]\nresult=0\ncom=12\ngeneral=3\n");
    std::vector<char> buffer(kHostBufferSize, kCanary);
    EXPECT_EQ(Reference(buffer.data(), 64), 0);
    EXPECT_EQ(Log(), LogText(ReferenceTrace(ReportLine("OpenCommSession NOK", 12, 3))));
    EXPECT_EQ(Journal(), std::vector<std::string>{kOpen});
    EXPECT_EQ(std::string(buffer.data(), buffer.size()), std::string(kHostBufferSize, kCanary));
}

TEST_F(BoardOperationsTest, ReferenceLengthOfZeroOrBelowReachesTheLibraryUnchanged)
{
    for (int length : {0, -1, -2147483647 - 1}) {
        SCOPED_TRACE(length);
        ClearTraces();
        std::vector<char> buffer(kHostBufferSize, kCanary);
        buffer[0] = '\0';
        EXPECT_EQ(Reference(buffer.data(), length), 1);
        EXPECT_EQ(Journal(),
                  (std::vector<std::string>{
                      kOpen, "BoardGetInfo args=0,2 length=" + std::to_string(length) + " report=0,3,0", CloseLine()}));
    }
}

}  // namespace
