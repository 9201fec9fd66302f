// The four board operations across the module's life: before initialisation, without
// the library or without their own entry point, after a failed initialisation, and a
// host's whole round trip from download to clean-up.
#include "operations_support.h"

#include "support/files.h"

#include <functional>
#include <thread>
#include <tuple>

using namespace operations_support;
using testing_support::FileExists;
using testing_support::LogText;
using testing_support::SplitLines;

namespace {

constexpr std::size_t kHostBufferSize = 64;
constexpr char kCanary = 'Z';

class Lifecycle : public BoardOperationsTest {
public:
    using BoardOperationsTest::Clean;
    using BoardOperationsTest::Download;
    using BoardOperationsTest::Reference;
    using BoardOperationsTest::Version;

    // Whatever operation runs gets an application file with a banner and a host buffer.
    std::string app_ = MakeApplicationFile(kBannerFields, PatternBytes(300));
    std::string appPath_;
    std::vector<char> buffer_ = std::vector<char>(kHostBufferSize, kCanary);

protected:
    void PrepareCall()
    {
        appPath_ = WriteApp(app_);
        buffer_.assign(kHostBufferSize, kCanary);
    }
    bool BufferUntouched() const
    {
        return std::string(buffer_.data(), buffer_.size()) == std::string(kHostBufferSize, kCanary);
    }
};

struct Operation {
    const char* name;
    std::function<int(Lifecycle&)> call;
    // The lines written when the entry point the operation tests is not there.
    std::function<std::string(const Lifecycle&)> withoutEntryPoint;
    const char* ownVariant;  // a library lacking that entry point
    int initWithOwnVariant;  // what _Init_Module_COM gives with that library
};

const std::vector<Operation>& Operations()
{
    static const std::vector<Operation> operations = {
        {"Download", [](Lifecycle& t) { return t.Download(t.appPath_); },
         [](const Lifecycle& t) {
             return std::string("\nEntre TelechargeComposant_COM\nPath Telechargement : ") + t.appPath_ + "\n"
                 + "Version \xE0 t\xE9l\xE9"
                   "charger : "
                 + kDecodedBanner + "\n";
         },
         "quelvane_without_SendCommand", 1},
        {"Version", [](Lifecycle& t) { return t.Version(0, t.buffer_.data()); },
         [](const Lifecycle&) { return std::string("\nEntre GetVersionComposant_COM\n"); },
         "quelvane_without_SendCommand", 1},
        {"Reference", [](Lifecycle& t) { return t.Reference(t.buffer_.data(), 64); },
         [](const Lifecycle&) { return std::string("\nEntre GetReferenceBoard_COM\n"); },
         "quelvane_without_BoardGetInfo", 1},
        {"Clean", [](Lifecycle& t) { return t.Clean(); }, [](const Lifecycle&) { return std::string(); },
         "quelvane_without_OpenCommSession", 0},
    };
    return operations;
}

enum class Situation { NotInitialised, LibraryAbsent, NoEntryPoints, OwnEntryPointMissing };

class WithoutLibrary : public Lifecycle, public ::testing::WithParamInterface<std::tuple<int, Situation>> { };

TEST_P(WithoutLibrary, GivesZeroAfterItsFirstLinesAndCallsNothing)
{
    const Operation& op = Operations()[std::get<0>(GetParam())];
    Situation situation = std::get<1>(GetParam());
    switch (situation) {
    case Situation::NotInitialised:
        ASSERT_NO_FATAL_FAILURE(Restart(Start("", false)));
        break;
    case Situation::LibraryAbsent:
        ASSERT_NO_FATAL_FAILURE(Restart(Start("", true, true, "", 0)));
        break;
    case Situation::NoEntryPoints:
        ASSERT_NO_FATAL_FAILURE(Restart(Start("quelvane_none", true, false, "", 0)));
        break;
    case Situation::OwnEntryPointMissing:
        ASSERT_NO_FATAL_FAILURE(Restart(Start(op.ownVariant, true, false, "", op.initWithOwnVariant)));
        break;
    }
    PrepareCall();
    EXPECT_EQ(op.call(*this), 0);
    if (situation == Situation::NotInitialised) {
        // No log path yet: nothing can be written at all.
        EXPECT_FALSE(FileExists(Module().LogFile()));
    } else {
        EXPECT_EQ(Log(), LogText(op.withoutEntryPoint(*this)));
    }
    EXPECT_EQ(Journal(), std::vector<std::string>{});
    EXPECT_TRUE(BufferUntouched());
}

std::string SituationName(const ::testing::TestParamInfo<std::tuple<int, Situation>>& p)
{
    static const char* const kSituations[] = {"NotInitialised", "LibraryAbsent", "NoEntryPoints",
                                              "OwnEntryPointMissing"};
    return std::string(Operations()[std::get<0>(p.param)].name) + "_"
        + kSituations[static_cast<int>(std::get<1>(p.param))];
}

INSTANTIATE_TEST_SUITE_P(Situations, WithoutLibrary,
                         ::testing::Combine(::testing::Range(0, 4),
                                            ::testing::Values(Situation::NotInitialised, Situation::LibraryAbsent,
                                                              Situation::NoEntryPoints,
                                                              Situation::OwnEntryPointMissing)),
                         SituationName);

// Once the library's entry points are resolved, the operations run even though the
// router or the board initialisation failed.
class AfterFailedInit : public Lifecycle, public ::testing::WithParamInterface<const char*> { };

TEST_P(AfterFailedInit, OperationsStillDriveTheBoard)
{
    ASSERT_NO_FATAL_FAILURE(Restart(Start("", true, false, GetParam(), 0)));
    PrepareCall();
    EXPECT_EQ(Download(appPath_), 1);
    EXPECT_EQ(Version(0, buffer_.data()), 1);
    EXPECT_EQ(std::string(buffer_.data(), 48), app_.substr(8, 48));
    EXPECT_EQ(Reference(buffer_.data(), 64), 1);
    EXPECT_EQ(Clean(), 1);
    std::vector<std::string> journal = Journal();
    ASSERT_EQ(journal.size(), 6u + 4u + 3u + 3u);
    EXPECT_EQ(journal[6], kOpen);
    EXPECT_EQ(journal[7], CommandLine(0xFA, 100));
    EXPECT_EQ(journal[11], "BoardGetInfo args=0,2 length=64 report=0,3,0");
    EXPECT_EQ(journal[14], "CleanupZR");
}

INSTANTIATE_TEST_SUITE_P(Failures, AfterFailedInit,
                         ::testing::Values("[router]\nresult=0\n", "[init]\nresult=0\n", "[open]\nresult=0\n",
                                           "[sessions]\noccupied=0,9\n"));

// Every operation closes its session on the record the open filled, not on the record
// it hands to the commands or queries inside the session.
TEST_F(Lifecycle, EachOperationClosesOnTheRecordOfItsOpen)
{
    for (const Operation& op : Operations()) {
        SCOPED_TRACE(op.name);
        PrepareCall();
        SimConfig("[open]\ncom=5\ngeneral=6\n[command.fa]\ncom=1\ngeneral=9\n[boardinfo]\ncom=1\ngeneral=7\n");
        ClearTraces();
        EXPECT_NE(op.call(*this), 0);
        std::vector<std::string> journal = Journal();
        ASSERT_FALSE(journal.empty());
        EXPECT_EQ(journal.front(), kOpen);
        EXPECT_EQ(journal.back(), CloseLine(5, 6));
    }
}

TEST_F(Lifecycle, RoundTripReadsBackTheDownloadedBanner)
{
    PrepareCall();
    EXPECT_EQ(Download(appPath_), 1);
    EXPECT_TRUE(testing_support::ReadFile(FlashPath()) == app_);

    ClearTraces();
    EXPECT_EQ(Version(0, buffer_.data()), 1);
    EXPECT_EQ(Hex(std::string(buffer_.data(), 48)), Hex(app_.substr(8, 48)));
    EXPECT_EQ(std::string(buffer_.data() + 48, kHostBufferSize - 48), std::string(kHostBufferSize - 48, kCanary));
    std::vector<std::string> lines = SplitLines(Log());
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], std::string("Version Composant  : ") + kDecodedBanner);

    ClearTraces();
    EXPECT_EQ(Reference(buffer_.data(), 64), 1);
    EXPECT_STREQ(buffer_.data(), "SIM-BOARD-0001");

    ClearTraces();
    EXPECT_EQ(Clean(), 1);
    EXPECT_EQ(Log(), LogText(ReportLine("Clean_ZR_COM", 3, 0)));
}

}  // namespace

// Host threads started and ended while the module is loaded are no process attach or
// detach: the library stays loaded until the module is unloaded, and goes with it.
TEST_F(Lifecycle, HostThreadsLeaveTheLibraryLoadedUntilUnload)
{
    std::string library = testing_support::JoinPath(Module().SimFolder(), "quelvane.dll");
    ASSERT_TRUE(testing_support::LibraryLoaded(library));
    for (int round = 0; round < 3; ++round) {
        std::thread host([this] { EXPECT_EQ(Clean(), 1); });
        host.join();
    }
    EXPECT_TRUE(testing_support::LibraryLoaded(library));
    EXPECT_EQ(Clean(), 1);
    Module().Unload();
    EXPECT_FALSE(testing_support::LibraryLoaded(library));
}
