// torvexctl download: the file described and checked, the board interface taken, then the
// update engine's run, said by DownloadPresenter.
#include "banner_print.h"
#include "commands.h"
#include "download_presenter.h"
#include "exit_codes.h"
#include "history/history.h"
#include "history/history_attempts.h"
#include "history/history_view.h"
#include "module_run.h"
#include "system/paths.h"
#include "system/text.h"

#include <CLI/CLI.hpp>

namespace torvexctl {

using namespace torvexupdate;

int RunDownload(const Options& options, Output& out)
{
    out.Data()["command"] = "download";
    UpdateFile file = InspectFile(options.file);
    bool described = DescribeFile(options.file, file.content, out);
    bool application = file.check.verdict == FileVerdict::kApplication;
    if (described && file.check.verdict != FileVerdict::kEmpty) {
        out.Data()["application"] = application;
        if (!application && options.force)
            out.Note("warning: " + options.file + " is not an application file: " + file.check.reason
                     + "; downloading it anyway (--force)");
        if ((application || options.force) && file.narrow.usable && file.narrow.shortName)
            out.Note("the file's path holds characters outside the ANSI code page: the module is given its short "
                     "name "
                     + AnsiToUtf8(file.narrow.bytes));
    }

    ModuleRun run(options, out);
    // Another program on the board turns this one away before anything else is done. The
    // lock's words name this update, so that the history shows it as running meanwhile.
    std::string updateId = NewUpdateId();
    bool reachesBoard = file.content.readable && file.check.verdict != FileVerdict::kEmpty
        && (application || options.force) && file.narrow.usable;
    if (reachesBoard && !run.Lock(updateId))
        return kExitBoardBusy;
    DownloadPresenter presenter(options, out, run);

    UpdateOptions update;
    update.force = options.force;
    update.retries = options.retries;
    update.verify = options.verify;
    update.program = "torvexctl";
    update.operatorName = ChosenOperator(options.operatorName);
    update.historyPath = HistoryPath(options.historyPath, run.ModuleFolder());
    update.trustedKeysFolder = JoinPath(run.ModuleFolder(), kTrustedKeysFolderName);
    update.manifest = {options.allowUnsigned, options.allowOlder};
    update.updateId = updateId;
    UpdateReport report = RunUpdate(file, update, presenter.Events());
    return presenter.Finish(file, report);
}

void AddDownloadOptions(CLI::App& command, Options& options)
{
    command.add_flag_callback(
        "--no-verify", [&options] { options.verify = false; }, "do not read the version back after the download");
    command.add_flag("--force", options.force,
                     "download a file that does not look like an application, or the application the board "
                     "already carries");
    command
        .add_option("--retries", options.retries,
                    "try a download that failed on the link (-1) again up to N times (default 0)")
        ->type_name("N")
        ->check(CLI::Range(0, 100));
    command
        .add_option("--operator", options.operatorName,
                    "who runs the update, for the history (default: $TORVEX_OPERATOR)")
        ->type_name("NAME");
    command.add_flag("--allow-unsigned", options.allowUnsigned,
                     "write a file without a manifest signed by a trusted key (trusted-keys beside the module); "
                     "a file that differs from its manifest, or a manifest edited after signing, is still refused");
    command.add_flag("--allow-older", options.allowOlder,
                     "write an older release version than the one the update history knows the board carries");
}

}  // namespace torvexctl
