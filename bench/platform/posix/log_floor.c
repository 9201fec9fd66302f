#include "log_baseline.h"

#include <fcntl.h>
#include <string.h>
#include <sys/file.h>
#include <unistd.h>

int FloorWriteLog(const char* path, const char* text)
{
    int file = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file < 0)
        return 0;
    if (write(file, text, strlen(text)) < 0) {
        /* the floor goes on as the module does: the size is taken whatever the write did */
    }
    if (lseek(file, 0, SEEK_END) > 5000000 && ftruncate(file, 0) != 0) {
        /* left as it is: the next line past the limit tries again */
    }
    close(file);
    return 1;
}

int LockedWriteLog(const char* path, const char* text)
{
    int file = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (file < 0)
        return 0;
    flock(file, LOCK_EX);
    if (write(file, text, strlen(text)) < 0) {
        /* as the floor */
    }
    if (lseek(file, 0, SEEK_END) > 5000000 && ftruncate(file, 0) != 0) {
        /* as the floor */
    }
    flock(file, LOCK_UN);
    close(file);
    return 1;
}
