// The update library's pure helpers: banner parsing and layout, text decoding, the log tail,
// the board holder's words.
#include "application/banner.h"
#include "engine/download_steps.h"
#include "module/board_lock.h"
#include "module/init_diagnosis.h"
#include "module/log_tail.h"
#include "module/module_loader.h"
#include "system/paths.h"
#include "system/text.h"
#include "words/language.h"

#include "support/files.h"
#include "support/trace_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace torvexupdate;

TEST(BannerParsing, FieldsAreReadWithinTheGivenBytes)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> fields;
        bool complete;
    };
    const Case cases[] = {
        {"full widths",
         testing_support::Banner({"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "12345678"}),
         {"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "12345678"},
         true},
        {"empty fields", testing_support::Banner({"A", "", "C", "", "E"}), {"A", "", "C", "", "E"}, true},
        {"no terminator at all", std::string(48, 'Z'), {std::string(48, 'Z')}, false},
        {"fifth field cut by the end", std::string("A\0B\0C\0D\0EFG", 11), {"A", "B", "C", "D", "EFG"}, false},
        {"three fields, then the end", std::string("A\0B\0C\0", 6), {"A", "B", "C"}, false},
        {"nothing", std::string(), {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Banner banner = ParseBanner(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(banner.fields, c.fields);
        EXPECT_EQ(banner.complete, c.complete);
    }
}

// The column rule itself is the module's decoder, tested in one table (tests/board); here
// the fields handed to it: every one in its place, missing ones empty.
// The log's line runs fields together where they fill their columns; for people, the
// fields stand apart.
TEST(BannerParsing, OneLineFollowsTheLogColumnsAndPeopleSeeEachField)
{
    struct Case {
        std::vector<std::string> fields;
        std::string line;
        std::string apart;
    };
    const Case cases[] = {
        {{"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "XY"},
         "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY",
         "ABCDEFGHIJKLMN | PQRSTUVWX | ABCDEF | GHIJKL | XY"},
        {{"ABC", std::string(25, 'B'), "CD", "EF", "GH"},
         "ABC" + std::string(21, 'B') + " CDEFGH",
         "ABC | " + std::string(25, 'B') + " | CD | EF | GH"},
        {{"ONLY"}, "ONLY", "ONLY |  |  |  | "},
    };
    for (const Case& c : cases) {
        Banner banner;
        banner.fields = c.fields;
        EXPECT_EQ(BannerLine(banner), c.line);
        EXPECT_EQ(BannerFields(banner), c.apart);
    }
}

// Who holds the board, as people know the programs: the window by its Start-menu entry.
// The lock file keeps the activity in English; a French reader reads it in French, and an
// activity no program of ours words is shown as it stands.
TEST(BoardHolderWords, NameTheWindowAsTheStartMenuDoes)
{
    EXPECT_EQ(HolderWords({"torvexgui", 42, "2026-12-09T05:40:01Z", "reading the board", "", "", ""}),
              "Torvex board update (process 42) since 2026-12-09T05:40:01Z, reading the board");
    EXPECT_EQ(HolderWords({"torvexctl", 7, "", "", "", "", ""}),
              "torvexctl (process 7) since an unknown time, working with the board");

    ThreadLanguage french(Language::kFrench);
    const std::string downloading = ActivityText(Activity::kDownloading, "C:\\updates\\app.bin");
    EXPECT_EQ(downloading, "downloading C:\\updates\\app.bin");
    EXPECT_EQ(HolderWords({"torvexctl", 7, "2026-12-09T05:40:01Z", downloading, "", "", ""}),
              "torvexctl (processus 7) depuis 2026-12-09T05:40:01Z, en train de télécharger C:\\updates\\app.bin");
    const std::tuple<std::string, const char*> activities[] = {
        {ActivityText(Activity::kReadingBoard), ", en train de lire la carte"},
        {ActivityText(Activity::kRunning, "info"), ", en train d'exécuter 'info'"},
        {ActivityText(Activity::kUpdating, "C:\\a.bin"), ", en train de mettre à jour la carte avec C:\\a.bin"},
        {"downloading ", ", downloading "},  // no file: not ours
        {"reading the board twice", ", reading the board twice"},
    };
    for (const auto& [stored, said] : activities)
        EXPECT_NE(HolderWords({"torvexgui", 1, "", stored, "", "", ""}).find(said), std::string::npos) << stored;
}

TEST(BannerParsing, ComparisonTreatsAbsentFieldsAsEmpty)
{
    Banner three{{"A", "B", "C"}, false};
    Banner five{{"A", "B", "C", "", ""}, true};
    Banner other{{"A", "B", "X", "", ""}, true};
    EXPECT_TRUE(SameFields(three, five));
    EXPECT_FALSE(SameFields(five, other));
    EXPECT_TRUE(AllZero(std::string(48, '\0').data(), 48));
    EXPECT_FALSE(AllZero(testing_support::Banner({"", "", "", "", "x"}).data(), 48));
}

TEST(ApplicationFileReading, BannerOnlyFromFiftyEightBytes)
{
    testing_support::ScratchFolder folder("cli-file");
    std::string header = "HEADER-1";
    std::string banner = testing_support::Banner({"ABCDEFGHIJKLMN", "PQRSTUVWX", "ABCDEF", "GHIJKL", "XY"});
    testing_support::WriteFile(folder.File("57.bin"), header + banner + "!");
    testing_support::WriteFile(folder.File("58.bin"), header + banner + "!!");

    ApplicationFile short57 = ReadApplicationFile(folder.File("57.bin"));
    EXPECT_TRUE(short57.readable);
    EXPECT_EQ(short57.size, 57);
    EXPECT_FALSE(short57.banner.has_value());

    ApplicationFile long58 = ReadApplicationFile(folder.File("58.bin"));
    EXPECT_EQ(long58.size, 58);
    ASSERT_TRUE(long58.banner.has_value());
    EXPECT_EQ(BannerLine(*long58.banner), "ABCDEFGHIJKLMN PQRSTUVWX ABCDEF GHIJKL XY");

    EXPECT_FALSE(ReadApplicationFile(folder.File("absent.bin")).readable);
    EXPECT_FALSE(ReadApplicationFile(folder.Path()).readable);
    ThreadLanguage french(Language::kFrench);
    EXPECT_EQ(ReadApplicationFile(folder.Path()).problem, "c'est un dossier, pas un fichier d'application");
    EXPECT_EQ(ReadApplicationFile(folder.File("absent.bin")).problem.rfind("il ne peut pas être ouvert (", 0), 0u);
}

TEST(TextDecoding, Cp1252BecomesUtf8AndControlsAreShownEscaped)
{
    EXPECT_EQ(Cp1252ToUtf8("g\xE9n\xE9ral \xE0"), "g\xC3\xA9n\xC3\xA9ral \xC3\xA0");
    EXPECT_EQ(Cp1252ToUtf8("\x80\x9F"), "\xE2\x82\xAC\xC5\xB8");  // euro sign, Y with diaeresis
    EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");              // unassigned: replacement character
    EXPECT_EQ(ForTerminal("A\x1B[2J\rB\x7F\xE9"), "A\\x1B[2J\\x0DB\\x7F\xC3\xA9");
}

TEST(LogTailReading, OnlyAppendedLinesAndARestartedLogWhole)
{
    testing_support::ScratchFolder folder("cli-log");
    std::string path = folder.File("Torvex.log");

    LogTail fromNothing(path);
    testing_support::WriteFile(path, "first\r\n\r\nsecond\n");
    EXPECT_EQ(fromNothing.AddedLines(), (std::vector<std::string>{"first", "", "second"}));

    LogTail appended(path);
    testing_support::WriteFile(path, "first\r\n\r\nsecond\nthird g\xE9n\xE9ral\nunterminated");
    bool restarted = true;
    EXPECT_EQ(appended.AddedLines(&restarted),
              (std::vector<std::string>{"third g\xC3\xA9n\xC3\xA9ral", "unterminated"}));
    EXPECT_FALSE(restarted);

    // The module empties its log past the size limit: the new content is read whole.
    LogTail beforeReset(path);
    testing_support::WriteFile(path, "new\n");
    EXPECT_EQ(beforeReset.AddedLines(&restarted), (std::vector<std::string>{"new"}));
    EXPECT_TRUE(restarted);
}

TEST(DownloadSteps, BoardStateAfterAFailureComparesBeforeAfterAndFile)
{
    auto board = [](std::optional<std::vector<std::string>> fields, bool known = true) {
        BoardContent content;
        content.known = known;
        content.result = known ? 1 : 0;
        if (fields)
            content.banner = Banner{*fields, true};
        return content;
    };
    ApplicationFile file;
    file.readable = true;
    file.size = 512;
    file.banner = Banner{{"NEW", "2", "R", "B", "1"}, true};
    const std::vector<std::string> old = {"OLD", "1", "R", "B", "1"};
    const std::vector<std::string> fromFile = file.banner->fields;
    const std::vector<std::string> other = {"OTHER", "9", "R", "B", "1"};
    struct Case {
        BoardContent before;
        BoardContent after;
        AfterFailure state;
    };
    const Case cases[] = {
        {board(old), board(old), AfterFailure::kUnchanged},
        // The file's banner before and after (a file written again): the banner did not change.
        {board(fromFile), board(fromFile), AfterFailure::kUnchanged},
        {board(std::nullopt), board(std::nullopt), AfterFailure::kUnchanged},
        {board(old), board(fromFile), AfterFailure::kWrittenNotStarted},
        {board(old, false), board(fromFile), AfterFailure::kWrittenNotStarted},
        {board(old), board(std::nullopt), AfterFailure::kEmpty},
        {board(old), board(other), AfterFailure::kOther},
        {board(old), board(old, false), AfterFailure::kUnknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyAfterFailure(c.before, c.after, file), c.state);
}

TEST(DownloadSteps, RetriesFollowOnlyTransferFailures)
{
    struct Case {
        std::vector<int> results;  // what each attempt returns
        int retries;
        std::size_t attempts;
    };
    const Case cases[] = {
        {{-1, -1, 1}, 2, 3}, {{-1, -1, -1, -1}, 2, 3}, {{-2, 1}, 3, 1}, {{0, 1}, 3, 1}, {{-1, 1}, 0, 1},
    };
    for (const Case& c : cases) {
        std::size_t next = 0;
        int announced = 0;
        auto attempts = DownloadWithRetries(
            [&] {
                return DownloadAttempt{c.results[next++], 0};
            },
            c.retries, [&](int number, int) { EXPECT_EQ(number, ++announced + 1); });
        EXPECT_EQ(attempts.size(), c.attempts);
        EXPECT_EQ(static_cast<std::size_t>(announced), c.attempts - 1);
    }
}

TEST(InitDiagnosis, PathsAtTheModulesLimitsGetTheirOwnCause)
{
    struct Case {
        std::size_t folderLength;
        const char* fileName;
        const char* cause;  // the start of what LogWriteProblem says
    };
    const char* const kNoFolder = "the folder \"";
    const Case cases[] = {
        // The module's path: 254 characters fit, 255 do not.
        {242, "torvex.dll", kNoFolder},
        {243, "torvex.dll", kNoFolder},
        {244, "torvex.dll",
         "the module's path is 255 characters long, more than the 254 it can hold, so it cannot find its "
         "own folder (it writes no Torvex.log and reads no torvex.ini there): move it to a shorter path"},
        // The log's path (folder, separator, "Torvex.log") under a shorter module name: 254 fit, 255 do not.
        {243, "x.dll", kNoFolder},
        {244, "x.dll",
         "the log's path would be 255 characters long, more than the 254 the module can hold: move the "
         "module to a shorter path"},
        {245, "x.dll", "the log's path would be 256 characters long"},
    };
    for (const Case& c : cases) {
        ModuleSetting setting;
        setting.folder = std::string(c.folderLength, 'f');
        setting.modulePath = setting.narrowPath = JoinPath(setting.folder, c.fileName);
        std::string problem = LogWriteProblem(setting);
        EXPECT_EQ(problem.rfind(c.cause, 0), 0u) << setting.narrowPath.size() << " characters: " << problem;
    }
}

// The system's loader text keeps its words; the file it names and the code are said in ours.
TEST(InitDiagnosis, LoaderErrorsInThePeoplesLanguage)
{
    struct Case {
        LoaderError error;
        const char* english;
        const char* french;
    };
    const Case cases[] = {
        {{"%1 is not a valid Win32 application", 193},
         "the file is not a valid Win32 application (error 193)",
         "le fichier is not a valid Win32 application (erreur 193)"},
        {{"", 126}, " (error 126)", " (erreur 126)"},
        {{"libx.so: cannot open shared object file", 0},
         "libx.so: cannot open shared object file",
         "libx.so: cannot open shared object file"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoaderErrorWords(c.error), c.english);
        ThreadLanguage french(Language::kFrench);
        EXPECT_EQ(LoaderErrorWords(c.error), c.french);
    }
}

TEST(InitDiagnosis, TheSettingIsReadByTheModulesRules)
{
    // Quotes around the value are not part of it, for the module as for the system's reader.
    testing_support::ScratchFolder folder("diagnosis");
    testing_support::WriteFile(folder.File("torvex.ini"), "[TorvexPath]\nQuelvanePath=\"lib\"\n");
    ModuleSetting setting;
    setting.folder = folder.Path();
    setting.modulePath = setting.narrowPath = folder.File("torvex.dll");
    std::vector<std::string> causes = InitFailureCauses(setting, {"Path Quelvane : lib\\quelvane.dll", "Status = 0"});
    EXPECT_TRUE(testing_support::AnyLineHolds(causes, "QuelvanePath \"lib\" is a relative folder")) << causes.back();

    // In French: the library that is not there, and the log the module could not write.
    ThreadLanguage french(Language::kFrench);
    causes = InitFailureCauses(setting, {"Path Quelvane : lib\\quelvane.dll", "Status = 0"});
    EXPECT_TRUE(testing_support::AnyLineHolds(
        causes,
        "la bibliothèque de communication n'a pas pu être chargée depuis \"lib\\quelvane.dll\" : introuvable ("));
    EXPECT_TRUE(testing_support::AnyLineHolds(causes, "QuelvanePath \"lib\" est un dossier relatif"));
    EXPECT_FALSE(testing_support::AnyLineHolds(causes, "could not be loaded"));
    setting.folder = folder.File("gone");
    causes = InitFailureCauses(setting, {});
    EXPECT_TRUE(testing_support::AnyLineHolds(causes, "le module n'a écrit aucun journal : le dossier \""))
        << causes[0];
}
