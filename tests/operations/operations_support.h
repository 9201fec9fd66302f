// Shared pieces of the board-operation tests: application files with a banner, the
// expected trace lines, the simulator journal in comparable form, and a fixture that
// loads a fresh module beside the simulator and calls its exports as a host does.
#pragma once

#include "support/module_under_test.h"
#include "support/trace_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace operations_support {

using testing_support::Banner;
using testing_support::BannerFields;
using testing_support::CommandTrace;
using testing_support::Entry;
using testing_support::Exit;
using testing_support::Hex;
using testing_support::kSeparator;
using testing_support::ReportLine;

// The fields of the banner most tests download, and that banner decoded for the log.
extern const BannerFields kBannerFields;
extern const char kDecodedBanner[];

// 8 header bytes, the 48-byte banner, then `body`.
std::string MakeApplicationFile(const BannerFields& fields, const std::string& body);

// `size` bytes of a pattern that repeats only every 251 bytes.
std::string PatternBytes(std::size_t size);

// The traces of the two payload-free commands (before LogText).
inline std::string ResetTrace(int com = 3, int general = 0)
{
    return CommandTrace("Reset_Board", com, general);
}
inline std::string StartTrace(int com = 3, int general = 0)
{
    return CommandTrace("Saut_Appli", com, general);
}

using testing_support::CloseLine;
using testing_support::CommandLine;
using testing_support::DownloadLine;
using testing_support::kOpen;

// Test names of table-driven cases: each case carries its own `name`.
template <typename Case> std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    return info.param.name;
}

// A fresh module copy beside the simulator (or a variant), loaded and by default
// initialised, with log and journal cleared before the operation under test.
class BoardOperationsTest : public ::testing::Test {
protected:
    struct Start {
        explicit Start(std::string variant_ = "", bool initialise_ = true, bool libraryAbsent_ = false,
                       std::string initSimConfig_ = "", int expectedInit_ = 1)
                : variant(std::move(variant_)), initialise(initialise_), libraryAbsent(libraryAbsent_),
                  initSimConfig(std::move(initSimConfig_)), expectedInit(expectedInit_)
        {
        }
        std::string variant;        // "" or e.g. "quelvane_without_SendCommand"
        bool initialise;            // call _Init_Module_COM
        bool libraryAbsent;         // torvex.ini names a folder without the library
        std::string initSimConfig;  // in force during initialisation only
        int expectedInit;           // what _Init_Module_COM must return
    };

    void SetUp() override;
    void Restart(const Start& start);

    testing_support::ModuleUnderTest& Module() { return *module_; }

    int Download(const std::string& path);
    int Version(int first, char* buffer);
    int Reference(char* buffer, int length);
    int Clean();

    std::string Log() const { return module_->Log(); }
    std::vector<std::string> Journal() const;  // padding byte of each request as ".."
    void SimConfig(const std::string& text) { module_->WriteSimConfig(text); }
    void ClearTraces();

    std::string AppPath(const std::string& name = "appli.com") const;
    std::string WriteApp(const std::string& bytes, const std::string& name = "appli.com") const;
    std::string FlashPath() const;

    // The lines every download starts with: entry, path and (when given) banner.
    static std::string DownloadHead(const std::string& path, const char* decodedBanner);
    static std::string DownloadTail();

private:
    std::unique_ptr<testing_support::ModuleUnderTest> module_;
};

}  // namespace operations_support
