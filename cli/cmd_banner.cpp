#include "banner_print.h"
#include "commands.h"
#include "exit_codes.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

int RunBanner(const Options& options, Output& out)
{
    out.Data()["command"] = "banner";
    if (options.showLog)
        out.Note(Say(Message::kConsoleBannerLogIgnored));
    ApplicationFile file = ReadApplicationFile(options.file);
    return DescribeFile(options.file, file, out) ? kExitSuccess : kExitFileUnreadable;
}

}  // namespace torvexctl
