#include "support/module_under_test.h"

#include <gtest/gtest.h>

namespace testing_support {

ModuleUnderTest::ModuleUnderTest(const std::string& simVariant, const std::string& moduleFile)
        : host::ModuleCopy(NewScratchPath("module"), moduleFile.empty() ? host::BuiltModuleFile() : moduleFile,
                           host::SimulatorFile(simVariant))
{
}

void ModuleUnderTest::Load()
{
    ASSERT_FALSE(Loaded());
    ASSERT_TRUE(host::ModuleCopy::Load()) << "cannot load " << ModuleFile();
}

int ModuleUnderTest::InitModule()
{
    if (Calls().init == nullptr) {
        ADD_FAILURE() << "_Init_Module_COM is not exported";
        return -1000;
    }
    return Calls().init();
}

}  // namespace testing_support
