#include "board_queries.h"
#include "commands.h"
#include "board_warning.h"
#include "module_run.h"

namespace torvexctl {

using namespace torvexupdate;

int RunVersion(const Options& options, Output& out)
{
    out.Data()["command"] = "version";
    return WithModule(options, out, [&](ModuleRun& run) {
        WarnWhenIncomplete(run, options, nullptr, out);
        return QueryVersion(run.Get(), out);
    });
}

}  // namespace torvexctl
