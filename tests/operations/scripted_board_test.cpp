// The simulated board answering call by call from a script in quelvane-sim.ini: numbered
// sections answer their call, the static settings the others, counts go on from one
// process to the next, and a bad script is refused whole.
#include "operations_support.h"

#include <vector>

using namespace operations_support;
using testing_support::AnyLineHolds;
using testing_support::LogText;

namespace {

enum class Call { Init, Download, Version, Reference, NewProcess };

struct Step {
    Call call;
    int result;
};

struct ScriptCase {
    const char* name;
    const char* script;
    std::vector<Step> steps;
    std::vector<std::string> logInOrder;  // pieces of the log, each after the one before
};

void PrintTo(const ScriptCase& c, std::ostream* os)
{
    *os << c.name;
}

class ScriptedBoard : public BoardOperationsTest, public ::testing::WithParamInterface<ScriptCase> {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(Restart(Start("", false))); }

    int Run(Call call)
    {
        std::vector<char> buffer(TORVEX_REFERENCE_BUFFER_SIZE, '\0');
        switch (call) {
        case Call::Init:
            return Module().InitModule();
        case Call::Download:
            return Download(WriteApp(MakeApplicationFile(kBannerFields, PatternBytes(100))));
        case Call::Version:
            return Version(0, buffer.data());
        case Call::Reference:
            return Reference(buffer.data(), static_cast<int>(buffer.size()) - 1);
        case Call::NewProcess:
            Module().Unload();
            Module().Load();
            return 0;
        }
        return -1000;
    }
};

TEST_P(ScriptedBoard, AnswersEachCallFromItsSectionThenFromTheStaticOnes)
{
    const ScriptCase& c = GetParam();
    SimConfig(c.script);
    for (std::size_t i = 0; i < c.steps.size(); ++i)
        EXPECT_EQ(Run(c.steps[i].call), c.steps[i].result) << "step " << i + 1;
    std::string log = Log();
    std::size_t at = 0;
    for (const std::string& piece : c.logInOrder) {
        std::size_t found = log.find(LogText(piece), at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << piece << "\n--- log\n" << log;
        at = found + 1;
    }
}

const std::string kDownloadReport = "\n_ExecuteCommand TelechargeComposant_COM";

INSTANTIATE_TEST_SUITE_P(
    Scripts, ScriptedBoard,
    ::testing::Values(
        ScriptCase{"OccupiedThenFree",
                   "[sessions.1]\noccupied = 1\n",
                   {{Call::Init, 0}, {Call::Init, 1}},
                   {"WARNING VCI OCCUPED !!!! \nSort Init_Com\n", "_CreateRouter OK\n"}},
        ScriptCase{"RefusedThenAccepted",
                   "[command.30.1]\nresult = 0\ncom = 19\n",
                   {{Call::Init, 1}, {Call::Download, -2}, {Call::Download, 1}},
                   {ReportLine(kDownloadReport, 19, 0) + "\n" + Exit("TelechargeComposant_COM"),
                    ReportLine(kDownloadReport, 3, 0) + StartTrace()}},
        ScriptCase{"StaticKeysFillTheNumberedSectionAndAnswerAfterIt",
                   "[boardinfo]\nreference = STATIC-7\n[boardinfo.2]\nresult = 0\ncom = 2\n",
                   {{Call::Init, 1}, {Call::Reference, 1}, {Call::Reference, 0}, {Call::Reference, 1}},
                   {"\nReference Carte STATIC-7\n",
                    Entry("GetReferenceBoard_COM") + ReportLine("\n_BoardGetInfo", 2, 0),
                    "\nReference Carte STATIC-7\n"}},
        ScriptCase{"CountsGoOnInTheNextProcess",
                   "[open.2]\nresult = 0\ncom = 7\ngeneral = 1\n",
                   {{Call::Init, 1}, {Call::NewProcess, 0}, {Call::Init, 0}},
                   {"_CreateRouter OK\n", "_CreateRouter OK\n" + ReportLine("_OpenCommSession NOK", 7, 1)}},
        ScriptCase{"ReplyAndReferenceAsHexBytes",
                   "[command.fa.1]\ncom = 3\nreply = 41 42 00 43 00\n[boardinfo.1]\nreference_hex = 20 41 42 20\n",
                   {{Call::Init, 1}, {Call::Version, 1}, {Call::Reference, 1}},
                   {"Version Composant  : ABC\n", "\nReference Carte  AB \n"}}),
    CaseName<ScriptCase>);

// A bad script: nothing of the file applies, every entry point fails, and the journal
// names the line and the reason. Mended, the file is read anew at the next call.
TEST_F(BoardOperationsTest, BadScriptIsRefusedWholeWithItsLineAndReason)
{
    struct Bad {
        const char* script;
        const char* reason;
    };
    const Bad cases[] = {
        {"[open.2]\nreslt = 0\n", "line 2: [open.2]: \"reslt\" is not a key a call of [open] takes (result, com,"},
        {"[opne.1]\nresult = 0\n", "line 1: [opne.1]: \"opne\" answers no call by call"},
        {"[download.1]\nbytes_per_second = 5\n", "line 1: [download.1]: \"download\" answers no call by call"},
        {"; two\n[open.0]\n", "line 2: [open.0]: calls are numbered from 1 to 1000000"},
        {"[open.1]\nresult = 0\n[OPEN.1]\ncom = 2\n", "line 3: [OPEN.1] is given twice (first at line 1)"},
        {"[open.1]\nresult = zero\n", "line 2: [open.1]: result = zero is not a number"},
        {"[command.fa.1]\nreply = 4G\n", "line 2: [command.fa.1]: reply = 4G is not hex bytes"},
        {"[open.1]\nresult\n", "line 2: [open.1]: \"result\" is not key = value"},
        {"[open.1]\nresult = 0\nRESULT = 1\n", "line 3: [open.1]: \"RESULT\" is given twice"},
        {"[boardinfo]\nreference = X\n[init\n[open.1]\n", "line 3: a section header without its closing ]"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.script);
        ASSERT_NO_FATAL_FAILURE(Restart(Start("", false)));
        SimConfig(c.script);
        std::vector<char> buffer(TORVEX_REFERENCE_BUFFER_SIZE, '\0');
        EXPECT_EQ(Module().InitModule(), 0);
        EXPECT_EQ(Reference(buffer.data(), 255), 0);
        EXPECT_TRUE(testing_support::Contains(Log(), LogText("_CreateRouter KO\n")));
        EXPECT_TRUE(testing_support::Contains(Log(), LogText(ReportLine("OpenCommSession NOK", 0, 0))));
        EXPECT_TRUE(AnyLineHolds(Journal(), std::string("ScriptRefused quelvane-sim.ini ") + c.reason));
        SimConfig("");
        EXPECT_EQ(Module().InitModule(), 1);
    }
}

}  // namespace
