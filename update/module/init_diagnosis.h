// Why _Init_Module_COM failed, from what a host can check itself: the lines the module
// wrote to its log, torvex.ini, the module's own path and a trial load of the library.
#pragma once

#include <string>
#include <vector>

namespace torvexupdate {

struct ModuleSetting {
    std::string modulePath;     // UTF-8, absolute
    std::string narrowPath;     // the module's path as the module sees it; "" when it has none
    std::string folder;         // where it reads torvex.ini and writes Torvex.log (UTF-8)
    std::string programFolder;  // where the host program lies: the first place a relative library is looked for
};

// Why the module could not write its log ("" when nothing the host checks explains it).
std::string LogWriteProblem(const ModuleSetting& setting);

// The causes that the log and the checks point to, one sentence each. `log` holds the lines
// this run added to Torvex.log (empty when none were written).
std::vector<std::string> InitFailureCauses(const ModuleSetting& setting, const std::vector<std::string>& log);

}  // namespace torvexupdate
