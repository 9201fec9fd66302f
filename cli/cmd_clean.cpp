#include "banner_print.h"
#include "commands.h"
#include "exit_codes.h"
#include "module_run.h"
#include "words/messages.h"

#include <cstdlib>
#include <cstring>

namespace torvexctl {

using namespace torvexupdate;

namespace {

// The report the module logged for the clean-up: the record as the last library call left
// it. "" when this run's log holds no such line.
std::string CleanReport(const std::vector<std::string>& log, Output& out)
{
    static const std::string kPrefix = "Clean_ZR_COM CompteRendu com = ";
    for (auto line = log.rbegin(); line != log.rend(); ++line) {
        if (line->compare(0, kPrefix.size(), kPrefix) != 0)
            continue;
        // "<com> CompteRendu général = <general>"
        const char* text = line->c_str() + kPrefix.size();
        char* end = nullptr;
        long com = std::strtol(text, &end, 10);
        const char* equals = end != text ? std::strstr(end, " = ") : nullptr;
        if (equals == nullptr)
            continue;
        long general = std::strtol(equals + 3, &end, 10);
        if (end == equals + 3)
            continue;
        out.Data()["report"] = {{"com", com}, {"general", general}};
        return Say(Message::kConsoleCleanReport, {{"com", std::to_string(com)}, {"general", std::to_string(general)}});
    }
    return std::string();
}

}  // namespace

int RunClean(const Options& options, Output& out)
{
    out.Data()["command"] = "clean";
    return WithModule(options, out, [&](ModuleRun& run) {
        int result = run.Get().clean();
        out.Data()["result"] = result;
        std::string report = CleanReport(run.LogLines(), out);
        if (report.empty())
            report = Say(Message::kConsoleCleanReportUnknown);
        if (result == 0) {
            out.Error(
                Say(Message::kConsoleCleanFailed, {{"report", report}, {"see_log", Say(Message::kConsoleSeeLog)}}));
            return static_cast<int>(kExitQueryFailed);
        }
        out.Info(Say(Message::kConsoleCleanCalled, {{"result", std::to_string(result)}, {"report", report}}));
        return static_cast<int>(kExitSuccess);
    });
}

}  // namespace torvexctl
