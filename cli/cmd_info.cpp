#include "board_queries.h"
#include "commands.h"
#include "exit_codes.h"
#include "board_warning.h"
#include "module_run.h"

namespace torvexctl {

using namespace torvexupdate;

int RunInfo(const Options& options, Output& out)
{
    out.Data()["command"] = "info";
    return WithModule(options, out, [&](ModuleRun& run) {
        int reference = QueryReference(
            run.Get(), out, [&](const std::string& board) { WarnWhenIncomplete(run, options, &board, out); });
        int version = QueryVersion(run.Get(), out);
        return reference != kExitSuccess ? reference : version;
    });
}

}  // namespace torvexctl
