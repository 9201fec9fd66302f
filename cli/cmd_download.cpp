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
#include "words/messages.h"

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
            out.Note(
                Say(Message::kConsoleForcedNotApplication, {{"file", options.file}, {"reason", file.check.reason}}));
        if ((application || options.force) && file.narrow.usable && file.narrow.shortName)
            out.Note(Say(Message::kConsoleFileShortName, {{"name", AnsiToUtf8(file.narrow.bytes)}}));
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
        "--no-verify", [&options] { options.verify = false; }, Say(Message::kHelpNoVerify));
    command.add_flag("--force", options.force, Say(Message::kHelpForce));
    command.add_option("--retries", options.retries, Say(Message::kHelpRetries))
        ->type_name("N")
        ->check(CLI::Range(0, 100).description(Say(Message::kHelpValueRetries)));
    command.add_option("--operator", options.operatorName, Say(Message::kHelpOperator))->type_name("NAME");
    command.add_flag("--allow-unsigned", options.allowUnsigned, Say(Message::kHelpAllowUnsigned));
    command.add_flag("--allow-older", options.allowOlder, Say(Message::kHelpAllowOlder));
}

}  // namespace torvexctl
