#include "support/module_under_test.h"

#include "support/dynamic_library.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace testing_support {

ModuleUnderTest::ModuleUnderTest(const std::string& simVariant, const std::string& moduleFile) : folder_("module")
{
    std::filesystem::create_directories(SimFolder());
    CopyFile(moduleFile.empty() ? std::string(TORVEX_MODULE_FILE) : moduleFile, ModuleFile());
    std::string sim = simVariant.empty()
                          ? std::string(TORVEX_SIM_FILE)
                          : JoinPath(JoinPath(TORVEX_SIM_VARIANTS_DIR, simVariant), "quelvane.dll");
    CopyFile(sim, JoinPath(SimFolder(), "quelvane.dll"));
    WriteIni("[TorvexPath]\nQuelvanePath=" + SimFolder() + "\n");
}

ModuleUnderTest::~ModuleUnderTest()
{
    Unload();
}

void ModuleUnderTest::WriteIni(const std::string& text)
{
    WriteFile(folder_.File("torvex.ini"), text);
}

void ModuleUnderTest::RemoveIni()
{
    std::filesystem::remove(folder_.File("torvex.ini"));
}

void ModuleUnderTest::WriteSimConfig(const std::string& text)
{
    WriteFile(JoinPath(SimFolder(), "quelvane-sim.ini"), text);
}

std::string ModuleUnderTest::Log() const
{
    return ReadFile(LogFile());
}

void ModuleUnderTest::ClearLog()
{
    std::error_code error;
    std::filesystem::remove(LogFile(), error);
}

std::vector<std::string> ModuleUnderTest::Journal() const
{
    return SplitLines(ReadFile(JoinPath(SimFolder(), "quelvane-sim.journal")));
}

void ModuleUnderTest::ClearJournal()
{
    std::error_code error;
    std::filesystem::remove(JoinPath(SimFolder(), "quelvane-sim.journal"), error);
}

void ModuleUnderTest::Load()
{
    ASSERT_EQ(module_, nullptr);
    module_ = LoadLibraryFile(ModuleFile());
    ASSERT_NE(module_, nullptr) << "cannot load " << ModuleFile();
}

void ModuleUnderTest::Unload()
{
    UnloadLibraryFile(module_);
    module_ = nullptr;
}

void* ModuleUnderTest::Export(const char* name) const
{
    return module_ != nullptr ? FindExport(module_, name) : nullptr;
}

int ModuleUnderTest::InitModule()
{
    auto init = reinterpret_cast<decltype(&_Init_Module_COM)>(Export("_Init_Module_COM"));
    if (init == nullptr) {
        ADD_FAILURE() << "_Init_Module_COM is not exported";
        return -1000;
    }
    return init();
}

}  // namespace testing_support
