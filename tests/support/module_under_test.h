// A fresh copy of the module in a scratch folder, with the simulator (or a variant) beside
// it in lib/ and a torvex.ini pointing there; a test failure when it cannot be loaded.
#pragma once

#include "host/module_copy.h"
#include "support/files.h"

#include <string>

namespace testing_support {

class ModuleUnderTest : public host::ModuleCopy {
public:
    // `simVariant`: "" for the full simulator, else a variant name such as "none";
    // `moduleFile`: the module build to copy ("" for the product).
    explicit ModuleUnderTest(const std::string& simVariant = "", const std::string& moduleFile = "");

    void Load();  // loads the module copy (fails the test when it cannot)
    int InitModule();
};

}  // namespace testing_support
