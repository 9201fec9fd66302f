#include "board_warning.h"

#include "module/board_state.h"
#include "system/text.h"
#include "words/messages.h"

namespace torvexctl {

using namespace torvexupdate;

void TellIncomplete(const BoardAccount& account, Message next, Output& out)
{
    if (!account.MayBeIncomplete())
        return;
    out.Data()["incomplete_since"] = *account.incompleteSince;
    if (account.lastWrite && FieldText(*account.lastWrite, field::kOutcome) == outcome_name::kInterrupted)
        out.Data()["interrupted_update"] = *account.lastWrite;
    out.Note(Say(Message::kConsoleWarning, {{"message", IncompleteWords(account, Say(next))}}));
}

void WarnWhenIncomplete(ModuleRun& run, const Options& options, const std::string* reference, Output& out)
{
    History history = ReadHistory(HistoryPath(options.historyPath, run.ModuleFolder()));
    // This program holds the board lock: no update of it runs.
    std::vector<BoardAccount> accounts = AccountsOf(Attempts(history.records, std::nullopt), false);
    bool any = false;
    for (const BoardAccount& account : accounts)
        any = any || account.MayBeIncomplete();
    if (!any)
        return;
    // A board that does not tell its reference may be any of them.
    std::string board = Cp1252ToUtf8(reference != nullptr ? *reference : ReadReference(run.Get()));
    for (const BoardAccount& account : accounts)
        if (board.empty() || account.board == board)
            TellIncomplete(account, Message::kNextQueryWriteAgain, out);
}

}  // namespace torvexctl
