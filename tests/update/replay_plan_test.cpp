// The replay's reading of a field log, without a module or a board: which processes, calls
// and files a log's lines imply, the board's script they give, and the lines it says no
// replay brings back. Logs are written from the tests' vocabulary of the module's lines.
#include "replay/board_script.h"
#include "replay/log_reader.h"
#include "replay/replay_plan.h"
#include "support/files.h"
#include "support/trace_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

const std::string kDate = "Today's date and time: Mon Jan 05 10:00:00 2026\n\n";
const std::string kOpened = ReportLine("_InitialiseCommBoard_Exp", 3, 0);

// An initialisation with its date line; `initCom` follows "Entre Init_Com" when the
// library loaded.
std::string Init(int status, const std::string& initCom = "_CreateRouter OK\n" + kOpened + Exit("Init_Com"))
{
    return kDate + Entry("Init_Library") + "Path torvex.ini : C:\\t\\torvex.ini\nPath Quelvane : C:\\q\\quelvane.dll\n"
        + "Status = " + std::to_string(status) + "\n" + Exit("Init_Library")
        + (status == 1 ? Entry("Init_Com") + initCom : "") + Exit("Init_Module_COM") + kSeparator;
}

// A download's first lines; `rest` is what the session did.
std::string Download(const std::string& path, const std::string& banner, const std::string& rest)
{
    return Entry("TelechargeComposant_COM") + "Path Telechargement : " + path + "\n"
        + (banner.empty() ? ""
                          : "Version \xE0 t\xE9l\xE9"
                            "charger : "
                   + banner + "\n")
        + rest;
}

const std::string kDownloadEnd = "\nSort TelechargeComposant_COM\n" + kSeparator;
const std::string kSent = CommandTrace("Reset_Board") + ReportLine("\n_ExecuteCommand TelechargeComposant_COM", 3, 0)
    + CommandTrace("Saut_Appli") + CommandTrace("Reset_Board") + kDownloadEnd;
const std::string kNothingSent = CommandTrace("Reset_Board") + kDownloadEnd;
const std::string kBanner = "TORVEX-SAMPLE1 APP 1.0.0 RUNTIM BOARDA 20261208";

std::string Version(int com, const std::string& banner)
{
    return Entry("GetVersionComposant_COM") + CommandReport("GetVersionComposant_COM", com, 0)
        + (banner.empty() ? "" : "Version Composant  : " + banner + "\n")
        + (com == 37 ? "Pas d'application ecrite en Flash - Banniere VIDE\n" : "") + "\nSort GetVersionComposant_COM\n"
        + kSeparator;
}

struct PlanCase {
    const char* name;
    std::string log;
    bool all;
    std::size_t processes;
    std::vector<std::string> inScript;  // pieces of the board's script
    std::vector<std::size_t> fileSizes;
    std::string note;  // a piece of the first note, "" for none
};

void PrintTo(const PlanCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string CaseName(const ::testing::TestParamInfo<PlanCase>& info)
{
    return info.param.name;
}

class ReplayPlanFromLog : public ::testing::TestWithParam<PlanCase> { };

TEST_P(ReplayPlanFromLog, FollowsTheModuleCallByCall)
{
    const PlanCase& c = GetParam();
    torvexreplay::FieldLog log;
    std::string refusal;
    ASSERT_TRUE(torvexreplay::ReadFieldLog(LogText(c.log), &log, &refusal)) << refusal;
    ASSERT_TRUE(log.complete) << log.stopLine << ": " << log.stopReason;
    torvexreplay::ReplayPlan plan;
    torvexreplay::RunSelection selection;
    selection.all = c.all;
    ASSERT_TRUE(torvexreplay::PlanReplay(log, selection, &plan, &refusal)) << refusal;
    EXPECT_EQ(plan.processes.size(), c.processes);
    std::string script = torvexreplay::BoardScript(plan.answers, {"test"});
    for (const std::string& piece : c.inScript)
        EXPECT_TRUE(Contains(script, piece));
    std::vector<std::size_t> sizes;
    for (const torvexreplay::ReplayFile& file : plan.files)
        sizes.push_back(file.bytes.size());
    EXPECT_EQ(sizes, c.fileSizes);
    if (c.note.empty())
        EXPECT_TRUE(plan.notes.empty()) << plan.notes.front().why;
    else
        EXPECT_TRUE(!plan.notes.empty() && Contains(plan.notes.front().why, c.note));
}

INSTANTIATE_TEST_SUITE_P(
    Logs, ReplayPlanFromLog,
    ::testing::Values(
        // The router already made: the same process, whose first board initialisation failed.
        PlanCase{"RouterMadeBeforeMeansOneProcess",
                 Init(1) + Init(1, kOpened + Exit("Init_Com")),
                 true,
                 1,
                 {"[init.1]\n; field line 12\nresult = 0\n"},
                 {},
                 ""},
        PlanCase{"RouterMadeAgainMeansAnotherProcess", Init(1) + Init(1), true, 2, {"[init]\nresult = 1\n"}, {}, ""},
        // A library that did not load again and is still used: the same process.
        PlanCase{
            "LibraryStillUsedMeansOneProcess",
            Init(1, "_CreateRouter OK\n" + ReportLine("_OpenCommSession NOK", 9, 4) + Exit("Init_Com")) + Init(0)
                + Version(37, ""),
            true,
            1,
            {"[open.1]\n; field line 12\nresult = 0\ncom = 9\ngeneral = 4\n", "[command.fa]\nresult = 1\ncom = 37\n"},
            {},
            ""},
        PlanCase{"OccupiedThenFree",
                 Init(1, "WARNING VCI OCCUPED !!!! \n" + Exit("Init_Com")) + Init(1),
                 true,
                 2,
                 {"[sessions.1]\n; field line 11\noccupied = 1\n", "[sessions]\noccupied =\n"},
                 {},
                 ""},
        // What the log shows of the files: a banner, none while sent (1 to 57 bytes), nothing sent.
        PlanCase{"FilesAsTheLogShowsThem",
                 Init(1) + Download("C:\\u\\app.bin", kBanner, kSent) + Download("C:\\u\\short.bin", "", kSent)
                     + Download("C:\\u\\gone.bin", "", kNothingSent) + Download("", "", kNothingSent),
                 false,
                 1,
                 {"[command.07]\nresult = 1\n"},
                 {103, 57, 0},
                 ""},
        PlanCase{"VersionReplyFromItsLine",
                 Init(1) + Version(3, "AB CD") + Version(3, kBanner),
                 false,
                 1,
                 {"[command.fa.1]\n; field line 18\nresult = 1\ncom = 3\ngeneral = 0\nreply = 41 42 20 43 44 00 00 00 "
                  "00 00\n"},
                 {},
                 ""},
        PlanCase{"LibraryWithoutSendCommand",
                 Init(1) + Download("C:\\u\\app.bin", kBanner, ""),
                 false,
                 1,
                 {},
                 {103},
                 "the field's library lacks _SendCommand or _OpenCommSession"},
        PlanCase{"LibraryWithoutCreateRouter",
                 Init(1, ""),
                 false,
                 1,
                 {},
                 {},
                 "the field's communication library has no _CreateRouter"}),
    CaseName);

TEST(ReplayLogReader, ReadsBackWhatEditorsAndTheLimitDoToALog)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::string encoding;
        std::size_t leadingLines;
        std::size_t stopLine;
    };
    std::string plain = LogText(Init(1) + Version(37, ""));
    std::string utf8 = plain;
    for (std::size_t at = utf8.find('\xE9'); at != std::string::npos; at = utf8.find('\xE9', at))
        utf8.replace(at, 1, "\xC3\xA9");
    const Case cases[] = {
        {"plain", plain, "", 0, 0},
        {"saved as UTF-8", utf8, "UTF-8", 0, 0},
        {"emptied mid-run", LogText(Version(37, "")) + plain, "", 7, 0},
        {"cut mid-line", plain.substr(0, plain.size() - 10), "", 0, 22},
        {"a line of another program", plain + "note: the board was hot\r\n" + plain, "", 0, 23},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        torvexreplay::FieldLog log;
        std::string refusal;
        ASSERT_TRUE(torvexreplay::ReadFieldLog(c.bytes, &log, &refusal)) << refusal;
        EXPECT_EQ(log.encoding, c.encoding);
        EXPECT_EQ(log.leadingLines, c.leadingLines);
        EXPECT_EQ(log.stopLine, c.stopLine);
        EXPECT_EQ(log.runs.size(), 1u);
    }
}

}  // namespace
