#include "banner_print.h"
#include "commands.h"
#include "application/file_check.h"
#include "exit_codes.h"

namespace torvexctl {

using namespace torvexupdate;

// The file as download judges it before writing, without module or board.
int RunCheck(const Options& options, Output& out)
{
    out.Data()["command"] = "check";
    if (options.showLog)
        out.Note("--log has no effect on check: it reads the file without the module");
    ApplicationFile file = ReadApplicationFile(options.file);
    if (!DescribeFile(options.file, file, out))
        return kExitFileUnreadable;
    FileCheck check = CheckApplicationFile(file);
    out.Data()["application"] = check.verdict == FileVerdict::kApplication;
    if (check.verdict == FileVerdict::kEmpty) {
        out.Error("application file " + options.file + " is empty: nothing to download");
        return kExitFileUnreadable;
    }
    if (check.verdict != FileVerdict::kApplication) {
        out.Error(options.file + " is not an application file: " + check.reason);
        return kExitNotAnApplication;
    }
    out.Info("check:  an application file: download would accept it");
    return kExitSuccess;
}

}  // namespace torvexctl
