#include "log_baseline.h"

#include <windows.h>

#include <string.h>

/* Appends the line at the end and empties a file grown past 5,000,000 bytes, as the log does. */
static void AppendTrimmed(HANDLE file, const char* text)
{
    LARGE_INTEGER zero;
    LARGE_INTEGER end;
    DWORD written = 0;
    zero.QuadPart = 0;
    end.QuadPart = 0;
    SetFilePointerEx(file, zero, &end, FILE_END);
    WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    if (end.QuadPart + written > 5000000 && SetFilePointerEx(file, zero, NULL, FILE_BEGIN))
        SetEndOfFile(file);
}

int FloorWriteLog(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    AppendTrimmed(file, text);
    CloseHandle(file);
    return 1;
}

int LockedWriteLog(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    OVERLAPPED whole;
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    memset(&whole, 0, sizeof whole);
    LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
    AppendTrimmed(file, text);
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(file);
    return 1;
}
