// Other systems: flock() on the lock file itself, which the system drops when the last
// descriptor of the open file goes, with the process (crash included). flock, not fcntl:
// an fcntl lock would go as soon as this process closed any descriptor of the file, such
// as the one that writes the holder's words.
#include "module/board_lock.h"

#include "words/messages.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace torvexupdate {

unsigned long CurrentProcessId()
{
    return static_cast<unsigned long>(getpid());
}

void* TakeSystemLock(const std::string& lockFile, bool* busy, std::string* error)
{
    *busy = false;
    int descriptor = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        *error = Say(Message::kLockFileNotOpened, {{"file", lockFile}, {"error", std::strerror(errno)}});
        return nullptr;
    }
    if (flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        return reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor) + 1);
    *busy = errno == EWOULDBLOCK;
    if (!*busy)
        *error = Say(Message::kLockFileNotLocked, {{"file", lockFile}, {"error", std::strerror(errno)}});
    close(descriptor);
    return nullptr;
}

void ReleaseSystemLock(void* lock)
{
    int descriptor = static_cast<int>(reinterpret_cast<std::intptr_t>(lock) - 1);
    flock(descriptor, LOCK_UN);
    close(descriptor);
}

}  // namespace torvexupdate
