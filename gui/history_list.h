// The window's history list: one row an update attempt, newest first, the columns of the
// history (some shortened), sorted by a click on a heading, with a note on what is shown.
#pragma once

#include "module/board_lock.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace torvexgui {

class HistoryList {
public:
    // Sets up the list control of `dialog` and its columns.
    void Attach(HWND dialog);
    // Reads the history at `historyPath` again and shows its newest attempts, an update
    // that `holder` (who holds the board lock) runs as running.
    void Show(const std::string& historyPath, const std::optional<torvexupdate::LockHolder>& holder);
    // Sorts by `column`; a second click on the same one turns the order round.
    void SortBy(int column);

private:
    struct Row {
        std::vector<std::wstring> cells;  // one per column
        long long time = -1;              // seconds since 1970, for sorting; -1 when unknown
    };
    static int CALLBACK Compare(LPARAM first, LPARAM second, LPARAM self);
    void Sort();

    HWND dialog_ = nullptr;
    std::vector<Row> rows_;
    int sortColumn_ = 0;  // newest first when the window opens
    bool sortAscending_ = false;
};

}  // namespace torvexgui
