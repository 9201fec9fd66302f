// Windows: a named mutex, which the system releases when its process ends (crash
// included). Its name is made from the lock file's path, so that each module folder has
// a lock of its own, for every session on the machine. A mutex belongs to the thread that
// took it: take and release it on the same thread.
#include "module/board_lock.h"

#include "system/windows/utf16.h"
#include "words/messages.h"

#include <windows.h>

#include <cstdio>

namespace torvexupdate {

namespace {

// FNV-1a over the path as the file system compares it (case-insensitive).
std::wstring MutexName(const std::string& lockFile)
{
    std::wstring path = Wide(lockFile);
    CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    unsigned long long hash = 14695981039346656037ull;
    for (wchar_t c : path) {
        hash ^= static_cast<unsigned long long>(c == L'/' ? L'\\' : c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, sizeof name / sizeof name[0], L"Global\\torvex-board-%016llx", hash);
    return name;
}

}  // namespace

unsigned long CurrentProcessId()
{
    return GetCurrentProcessId();
}

void* TakeSystemLock(const std::string& lockFile, bool* busy, std::string* error)
{
    *busy = false;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(lockFile).c_str());
    if (mutex == nullptr) {
        *error = Say(Message::kLockNotCreated, {{"code", std::to_string(GetLastError())}});
        return nullptr;
    }
    // WAIT_ABANDONED: its holder ended without releasing it; the history tells what it left.
    DWORD waited = WaitForSingleObject(mutex, 0);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        return mutex;
    *busy = waited == WAIT_TIMEOUT;
    if (!*busy)
        *error = Say(Message::kLockNotTaken, {{"code", std::to_string(GetLastError())}});
    CloseHandle(mutex);
    return nullptr;
}

void ReleaseSystemLock(void* lock)
{
    ReleaseMutex(static_cast<HANDLE>(lock));
    CloseHandle(static_cast<HANDLE>(lock));
}

}  // namespace torvexupdate
