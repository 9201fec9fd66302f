// Appending alone. The file is opened for appending, so that each write lands whole at the
// end; the write, the size and an emptying past the limit are done under a lock that every
// appender of the machine shares, so that no other appender's line can land between a
// write that crosses the limit and the emptying.
//
// The lock is a robust process-shared mutex in a small shared-memory table (one mutex per
// bucket of log paths), taken and released without a system call when nobody else holds
// it: flock would cost two more system calls a line. A holder that dies leaves the mutex
// to the next appender; one that hangs is waited for no longer than the wait given. When
// the table cannot be had (no shared memory), flock on the file takes its place.
#include "platform/platform.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Logs whose paths share a bucket share its mutex: with this many, two installations of
// one machine rarely do, and then only wait for each other's lines.
constexpr unsigned kLockCount = 1024;
// The mutex's layout differs between 32- and 64-bit programs: each has its table. Any
// change to the table's layout needs a new name.
constexpr const char* kTableName = sizeof(void*) == 8 ? "/torvex-log-locks-64" : "/torvex-log-locks-32";

struct LockTable {
    unsigned ready;  // kTableReady once the mutexes are set up; read and written under flock
    pthread_mutex_t locks[kLockCount];
};
// Marks a table set up with this layout (one left by a build with another is set up again).
constexpr unsigned kTableReady = 0x544C4F47u ^ static_cast<unsigned>(sizeof(LockTable));

LockTable* g_pLockTable = nullptr;
pthread_once_t g_lockTableOnce = PTHREAD_ONCE_INIT;

bool Flock(int file, int operation)
{
    int result = 0;
    do
        result = flock(file, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

void SetUpLocks(LockTable* table)
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    for (pthread_mutex_t* lock = table->locks; lock != table->locks + kLockCount; ++lock)
        pthread_mutex_init(lock, &attributes);
    pthread_mutexattr_destroy(&attributes);
    table->ready = kTableReady;
}

// Maps the machine's table, creating and setting it up under flock when this process is
// the first; the mapping stays for the life of the process.
void MapLockTable()
{
    int shared = shm_open(kTableName, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (shared < 0)
        return;
    fchmod(shared, 0666);  // every user's appenders share it, whatever the umask
    if (Flock(shared, LOCK_EX)) {
        struct stat status = {};
        void* memory = MAP_FAILED;
        if (fstat(shared, &status) == 0
            && (status.st_size >= static_cast<off_t>(sizeof(LockTable)) || ftruncate(shared, sizeof(LockTable)) == 0))
            memory = mmap(nullptr, sizeof(LockTable), PROT_READ | PROT_WRITE, MAP_SHARED, shared, 0);
        if (memory != MAP_FAILED) {
            auto* table = static_cast<LockTable*>(memory);
            if (table->ready != kTableReady)
                SetUpLocks(table);
            g_pLockTable = table;
        }
        Flock(shared, LOCK_UN);
    }
    close(shared);
}

pthread_mutex_t* LockFor(const char* path)
{
    pthread_once(&g_lockTableOnce, MapLockTable);
    if (g_pLockTable == nullptr)
        return nullptr;
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (const char* c = path; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    return &g_pLockTable->locks[hash % kLockCount];
}

timespec Deadline(unsigned waitMilliseconds)
{
    timespec deadline = {};
    clock_gettime(CLOCK_REALTIME, &deadline);
    long long nanoseconds = deadline.tv_nsec + static_cast<long long>(waitMilliseconds) * 1000000;
    deadline.tv_sec += static_cast<time_t>(nanoseconds / 1000000000);
    deadline.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    return deadline;
}

enum class Taken { Yes, Held, Unusable };

Taken TakeMutex(pthread_mutex_t* lock, unsigned waitMilliseconds)
{
    int result = pthread_mutex_trylock(lock);
    if (result == EBUSY) {
        timespec deadline = Deadline(waitMilliseconds);
        result = pthread_mutex_timedlock(lock, &deadline);
    }
    if (result == EOWNERDEAD)  // its holder died mid-line: the file is as it left it
        result = pthread_mutex_consistent(lock);
    if (result == 0)
        return Taken::Yes;
    return result == ETIMEDOUT ? Taken::Held : Taken::Unusable;
}

Taken TakeFlock(int file, unsigned waitMilliseconds)
{
    timespec deadline = Deadline(waitMilliseconds);
    for (;;) {
        if (Flock(file, LOCK_EX | LOCK_NB))
            return Taken::Yes;
        if (errno != EWOULDBLOCK)
            return Taken::Unusable;
        timespec now = {};
        clock_gettime(CLOCK_REALTIME, &now);
        if (now.tv_sec > deadline.tv_sec || (now.tv_sec == deadline.tv_sec && now.tv_nsec >= deadline.tv_nsec))
            return Taken::Held;
        timespec pause = {0, 1000000};
        nanosleep(&pause, nullptr);
    }
}

// Writes `length` bytes, repeating only if the system wrote part of them.
void WriteAll(int file, const char* bytes, std::size_t length)
{
    while (length > 0) {
        ssize_t written = write(file, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}

// False when the file cannot be emptied; it then stays as it is, and the next message
// past the limit tries again.
bool Empty(int file)
{
    return ftruncate(file, 0) == 0;
}

}  // namespace

AppendResult Platform_AppendLocked(const char* path, const char* text, long long emptyPast, unsigned waitMilliseconds)
{
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    int file = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file < 0)
        return AppendResult::NotOpened;
    pthread_mutex_t* mutex = LockFor(path);
    Taken taken = mutex != nullptr ? TakeMutex(mutex, waitMilliseconds) : Taken::Unusable;
    bool flocked = false;
    if (taken == Taken::Unusable) {
        taken = TakeFlock(file, waitMilliseconds);
        flocked = taken == Taken::Yes;
        mutex = nullptr;
    }
    // Without a lock the file system offers (flock refused) the text is still written.
    if (taken != Taken::Held) {
        WriteAll(file, text, length);
        if (lseek(file, 0, SEEK_END) > emptyPast)
            Empty(file);
    }
    if (mutex != nullptr && taken == Taken::Yes)
        pthread_mutex_unlock(mutex);
    if (flocked)
        Flock(file, LOCK_UN);
    close(file);
    return taken == Taken::Held ? AppendResult::Held : AppendResult::Written;
}
