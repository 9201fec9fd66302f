// The only services that differ between Windows and the native build. Each has a
// Windows implementation (src/platform/windows) and a POSIX one (src/platform/posix);
// the build picks the folder, so callers carry no #ifdef.
#ifndef TORVEX_PLATFORM_H
#define TORVEX_PLATFORM_H

#include <cstddef>
#include <cstdio>

typedef void (*GenericFunction)(void);

// Full path of the loaded module whose file is named `moduleName`; when no such module
// is loaded, the path of the host program's executable. Returns the length of the path,
// 0 on failure, or `size` when the path did not fit (the buffer then holds a truncated,
// terminated path).
std::size_t Platform_ModuleFilePath(const char* moduleName, char* path, std::size_t size);

// Drive part of `path` ("C:", or "" where there are no drives) and the path's folder
// (drive and directory, ending in a separator). False when a part does not fit.
bool Platform_SplitFolder(const char* path, char* drive, std::size_t driveSize, char* folder, std::size_t folderSize);

// Value of `key` in `section` of the INI file `iniPath`, trimmed, or `defaultValue` when
// the file, the section or the key is missing. Always terminated, truncated to `size`.
void Platform_ReadProfileString(const char* section, const char* key, const char* defaultValue, char* value,
                                std::size_t size, const char* iniPath);

// Loads a library (null when it cannot be loaded or the path is empty), looks an entry
// point up by name (null when missing), unloads a library.
void* Platform_LoadLibrary(const char* path);
GenericFunction Platform_FindSymbol(void* library, const char* name);
void Platform_FreeLibrary(void* library);

// Size of an open file in bytes, or -1 when it cannot be taken. Leaves the position at the end.
long long Platform_FileSize(std::FILE* file);

// How an append ended: written, refused because the file stayed held by another program
// (or another appender) for the whole wait, or not opened at all.
enum class AppendResult { Written, Held, NotOpened };

// Appends `text` (nothing when null) to the file `path`, created when missing, opened for
// this call alone and written with one write while no other appender, in this process or
// another, can write to the file; readers that share writing go on reading. Waits at most
// `waitMilliseconds` for the other appenders, or for a program holding the file without
// sharing writes, to let go. Windows writes text mode's bytes ("\n" as CR LF, a Ctrl-Z
// ending the file removed first). Still alone, when the file has grown past `emptyPast`
// bytes it is emptied, the text included.
AppendResult Platform_AppendLocked(const char* path, const char* text, long long emptyPast, unsigned waitMilliseconds);

// The current calendar time in seconds since 1970-01-01 UTC, 64 bits on every build so
// that dates past January 2038 stay right.
long long Platform_CurrentTime();

// The C library's ctime text of `seconds` in local time ("Tue Jan 19 03:14:08 2038\n"),
// copied into `text`. False, with `text` empty, when the system cannot show that date.
bool Platform_TimeText(long long seconds, char* text, std::size_t size);

// One process-wide lock that serialises the exported operations: each holds it for its
// whole call, so that calls from several host threads run one after another. Ready
// without any initialisation, and never taken by the entry routine.
void Platform_LockCalls();
void Platform_UnlockCalls();

// Holds the call lock for the life of the object.
class PlatformCallLock {
public:
    PlatformCallLock() { Platform_LockCalls(); }
    ~PlatformCallLock() { Platform_UnlockCalls(); }
    PlatformCallLock(const PlatformCallLock&) = delete;
    PlatformCallLock& operator=(const PlatformCallLock&) = delete;
};

#endif
