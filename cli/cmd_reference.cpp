#include "board_queries.h"
#include "commands.h"
#include "module_run.h"

namespace torvexctl {

using namespace torvexupdate;

int RunReference(const Options& options, Output& out)
{
    out.Data()["command"] = "reference";
    return WithModule(options, out, [&](ModuleRun& run) { return QueryReference(run.Get(), out); });
}

}  // namespace torvexctl
