#include "interrupted_notice.h"

#include "history/history.h"
#include "module/board_state.h"
#include "system/text.h"

namespace torvexctl {

using namespace torvexupdate;

void TellInterrupted(const Record& attempt, const std::string& next, Output& out)
{
    out.Data()["interrupted_update"] = attempt;
    out.Note("warning: " + InterruptedWords(attempt, next));
}

void WarnWhenInterrupted(ModuleRun& run, const Options& options, const std::string* reference, Output& out)
{
    History history = ReadHistory(HistoryPath(options.historyPath, run.ModuleFolder()));
    std::vector<Record> interrupted = InterruptedBoards(Attempts(history.records));
    if (interrupted.empty())
        return;
    // A board that does not tell its reference may be any of them.
    std::string board = Cp1252ToUtf8(reference != nullptr ? *reference : ReadReference(run.Get()));
    for (const Record& attempt : interrupted) {
        if (board.empty() || FieldText(attempt, field::kBoard) == board)
            TellInterrupted(attempt, "download the application again (torvexctl download FILE) before using the board",
                            out);
    }
}

}  // namespace torvexctl
