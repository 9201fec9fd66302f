// The module as the window uses it: loaded and initialised once when the window opens,
// then asked for the board's reference and application, and lent to the update engine.
#pragma once

#include "module/board_lock.h"
#include "module/board_state.h"
#include "module/module_session.h"

#include <memory>
#include <optional>
#include <string>

namespace torvexgui {

class BoardLink {
public:
    // Loads the module at `modulePath` (UTF-8) and initialises it. False with `problem` set
    // to what the user should read and do. The board interface stays taken (Release).
    bool Open(const std::string& modulePath, std::wstring* problem);

    // Takes the board interface for `activity` ("reading the board", "updating ... with
    // FILE"), for the update `updateId` ("" for none): false with `holder` saying who holds
    // it. Take and release on one thread.
    bool Acquire(const std::string& activity, const std::string& file, const std::string& updateId,
                 std::string* holder);
    void Release();
    // Who holds the board interface now (nothing when it is free).
    std::optional<torvexupdate::LockHolder> Holder() { return lock_->Holder(); }

    const torvexupdate::BoardCalls& Calls() const { return session_->Calls(); }
    // Where the module keeps torvex.ini and Torvex.log.
    std::string ModuleFolder() const { return session_->Setting().folder; }
    std::string ModulePath() const { return session_->Setting().modulePath; }
    std::string LogPath() const { return session_->LogPath(); }

    // The board's reference in words for the window; `raw`: the reference as the module
    // gave it ("" when it could not be read).
    std::wstring Reference(std::string* raw = nullptr) const;
    // What the board's flash holds.
    torvexupdate::BoardContent Content() const;

private:
    std::unique_ptr<torvexupdate::ModuleSession> session_;
    std::unique_ptr<torvexupdate::BoardLock> lock_;
};

}  // namespace torvexgui
