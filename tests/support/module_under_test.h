// A fresh copy of the module in a scratch folder, with the simulator beside it in lib/
// and a torvex.ini pointing there. Loading it gives fresh process-wide state.
#pragma once

#include "support/files.h"
#include "torvex.h"

#include <string>
#include <vector>

namespace testing_support {

class ModuleUnderTest {
public:
    // `simVariant`: "" for the full simulator, else a variant name such as "none";
    // `moduleFile`: the module build to copy ("" for the product).
    explicit ModuleUnderTest(const std::string& simVariant = "", const std::string& moduleFile = "");
    ~ModuleUnderTest();
    ModuleUnderTest(const ModuleUnderTest&) = delete;
    ModuleUnderTest& operator=(const ModuleUnderTest&) = delete;

    const std::string& Folder() const { return folder_.Path(); }
    std::string SimFolder() const { return folder_.File("lib"); }
    std::string ModuleFile() const { return folder_.File("torvex.dll"); }
    std::string LogFile() const { return folder_.File("Torvex.log"); }

    void WriteIni(const std::string& text);        // replaces torvex.ini
    void RemoveIni();
    void WriteSimConfig(const std::string& text);  // lib/quelvane-sim.ini
    std::string Log() const;                       // the bytes of Torvex.log
    void ClearLog();
    std::vector<std::string> Journal() const;      // lines of the simulator's journal
    void ClearJournal();

    void Load();    // loads the module copy (fails the test when it cannot)
    void Unload();  // frees it: process detach
    bool Loaded() const { return module_ != nullptr; }
    void* Export(const char* name) const;

    int InitModule();

private:
    ScratchFolder folder_;
    void* module_ = nullptr;
};

}  // namespace testing_support
