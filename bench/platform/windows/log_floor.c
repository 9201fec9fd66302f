#include "log_baseline.h"

#include <windows.h>

#include <string.h>

int FloorWriteLog(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    LARGE_INTEGER zero;
    LARGE_INTEGER end;
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    zero.QuadPart = 0;
    end.QuadPart = 0;
    SetFilePointerEx(file, zero, &end, FILE_END);
    WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    if (end.QuadPart + written > 5000000 && SetFilePointerEx(file, zero, NULL, FILE_BEGIN))
        SetEndOfFile(file);
    CloseHandle(file);
    return 1;
}

int LockedWriteLog(const char* path, const char* text)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    OVERLAPPED whole;
    LARGE_INTEGER zero;
    LARGE_INTEGER end;
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    memset(&whole, 0, sizeof whole);
    LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole);
    zero.QuadPart = 0;
    end.QuadPart = 0;
    SetFilePointerEx(file, zero, &end, FILE_END);
    WriteFile(file, text, (DWORD)strlen(text), &written, NULL);
    if (end.QuadPart + written > 5000000 && SetFilePointerEx(file, zero, NULL, FILE_BEGIN))
        SetEndOfFile(file);
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(file);
    return 1;
}
