#include "banner_print.h"
#include "commands.h"
#include "exit_codes.h"

namespace torvexctl {

using namespace torvexupdate;

int RunBanner(const Options& options, Output& out)
{
    out.Data()["command"] = "banner";
    if (options.showLog)
        out.Note("--log has no effect on banner: it reads the file without the module");
    ApplicationFile file = ReadApplicationFile(options.file);
    return DescribeFile(options.file, file, out) ? kExitSuccess : kExitFileUnreadable;
}

}  // namespace torvexctl
