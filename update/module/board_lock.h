// One program at a time on the board interface. Every host that talks to the board
// (torvexctl's commands, the window's reads and updates) first takes a lock that the
// system holds for it and drops with its process, crash included: a named mutex on
// Windows, a file lock elsewhere (update/platform/*/board_lock.cpp). The holder writes who
// it is into torvex-board.lock beside the module, so that a program turned away can say
// who holds the board, since when and for what. There is one lock per module folder (the
// torvex.ini that names the communication library).
#pragma once

#include <optional>
#include <string>

namespace torvexupdate {

constexpr const char* kBoardLockFileName = "torvex-board.lock";

// Who holds the board, as the holder wrote it.
struct LockHolder {
    std::string program;  // "torvexctl", "torvexgui"
    unsigned long processId = 0;
    std::string since;     // UTC, when it took the lock
    std::string activity;  // what it does, as ActivityText words it
    std::string file;      // the application file it writes ("" for none)
    std::string machine;   // the computer's name
    // The id of the update it runs (the history's started record), "" when it updates nothing.
    std::string updateId;
};

// What a holder does. The lock file stores it in English, whatever language its holder
// speaks, so that a program of any language can read it; HolderWords says it in the
// reader's language.
enum class Activity { kReadingBoard, kUpdating, kDownloading, kRunning };
// "reading the board", "updating the board with C:\updates\app.bin",
// "downloading C:\updates\app.bin", "running 'info'": `subject` is the file or the command.
std::string ActivityText(Activity activity, const std::string& subject = std::string());

// "torvexctl (process 4242) since 2026-12-09T05:40:01Z, downloading Z:\app.bin" (the window
// as "Torvex board update"); "another program (it has not said which)" when the holder's
// words could not be read. An activity worded by ActivityText is said in the current
// language; any other is shown as its holder wrote it.
std::string HolderWords(const LockHolder& holder);

// This process's id.
unsigned long CurrentProcessId();

class BoardLock {
public:
    // `moduleFolder`: the folder of torvex.ini and Torvex.log.
    explicit BoardLock(const std::string& moduleFolder);
    ~BoardLock();
    BoardLock(const BoardLock&) = delete;
    BoardLock& operator=(const BoardLock&) = delete;

    enum class Result { kTaken, kBusy, kFailed };
    // Takes the lock at once or not at all (never waits). kBusy: `holder` says who holds
    // it; kFailed: `error` says why the lock could not be made (the caller may go on
    // without it). Taking it again while held is kTaken.
    Result Take(LockHolder me, LockHolder* holder, std::string* error);
    void Release();
    bool Held() const { return native_ != nullptr; }

    // Who holds the board interface now: this program's own words while it holds it,
    // else whoever does (the lock is tried and at once let go), nothing when it is free or
    // cannot be told.
    std::optional<LockHolder> Holder();

private:
    std::string lockFile_;
    void* native_ = nullptr;
    LockHolder me_;
};

// platform/*/board_lock.cpp: the system's lock named after `lockFile`, taken without
// waiting: its handle, or null with `busy` set when another process holds it, or null
// with `error` set. The handle is released by ReleaseSystemLock or with the process.
void* TakeSystemLock(const std::string& lockFile, bool* busy, std::string* error);
void ReleaseSystemLock(void* lock);

}  // namespace torvexupdate
