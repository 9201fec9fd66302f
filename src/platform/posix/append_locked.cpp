// Appending under a lock shared between processes: flock on the file itself, which
// excludes every other open of the file (another process's, or another module copy's in
// this one). The file is opened as the C library opens "a+", and the text written with
// one write, so that no other process's bytes can land inside it.
#include "platform/platform.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

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

bool Lock(int file, int operation)
{
    int result = 0;
    do
        result = flock(file, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

// False when the file cannot be emptied; it then stays as it is, and the next message
// past the limit tries again.
bool Empty(int file)
{
    return ftruncate(file, 0) == 0;
}

}  // namespace

bool Platform_AppendLocked(const char* path, const char* text, long long emptyPast)
{
    int file = open(path, O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file < 0)
        return false;
    // Without the lock (a file system that has none) the message is still written.
    bool locked = Lock(file, LOCK_EX);

    if (text != nullptr)
        WriteAll(file, text, std::strlen(text));
    if (lseek(file, 0, SEEK_END) > emptyPast)
        Empty(file);

    if (locked)
        Lock(file, LOCK_UN);
    close(file);
    return true;
}
