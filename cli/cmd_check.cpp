#include "banner_print.h"
#include "commands.h"
#include "application/file_check.h"
#include "exit_codes.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

// The file as download judges it before writing, without module or board.
int RunCheck(const Options& options, Output& out)
{
    out.Data()["command"] = "check";
    if (options.showLog)
        out.Note(Say(Message::kConsoleCheckLogIgnored));
    ApplicationFile file = ReadApplicationFile(options.file);
    if (!DescribeFile(options.file, file, out))
        return kExitFileUnreadable;
    FileCheck check = CheckApplicationFile(file);
    out.Data()["application"] = check.verdict == FileVerdict::kApplication;
    if (check.verdict == FileVerdict::kEmpty) {
        out.Error(Say(Message::kConsoleFileEmpty, {{"path", options.file}}));
        return kExitFileUnreadable;
    }
    if (check.verdict != FileVerdict::kApplication) {
        out.Error(Say(Message::kConsoleCheckNotApplication, {{"file", options.file}, {"reason", check.reason}}));
        return kExitNotAnApplication;
    }
    out.Info(Say(Message::kConsoleCheckPasses));
    return kExitSuccess;
}

}  // namespace torvexctl
