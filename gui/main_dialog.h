// The window: one dialog with the board, the file, the Update button, the outcome, the
// run's log and the history.
#pragma once

#include "board_link.h"

#include <windows.h>

#include <string>

namespace torvexgui {

struct WindowSettings {
    std::string historyPath;        // where the update history is
    std::wstring file;              // file to show when the window opens ("" for none)
    int retries = 0;                // new attempts after a transfer that failed
    std::string trustedKeysFolder;  // the keys whose signatures this site trusts
};

// Shows the window until it is closed; the board is open already.
void RunMainDialog(HINSTANCE instance, BoardLink& board, const WindowSettings& settings);

}  // namespace torvexgui
