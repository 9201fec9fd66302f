// Appending under a lock shared between processes: a byte-range lock on the file itself.
// The file is opened as the C runtime opens "a+" (read and write, shared for reading and
// writing, created when missing), so that readers and the file's deletion between two
// messages behave as before; the text is translated here as text mode would translate it
// and written with one WriteFile, so that no other process's bytes can land inside it.
#include "platform/platform.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

// The lock covers one byte far beyond any size the file can reach: it excludes the other
// appenders without ever covering bytes that a reader of the file wants.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kStackBytes = 1024;

bool SeekTo(HANDLE file, long long offset, DWORD origin, long long* position)
{
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER reached;
    if (!SetFilePointerEx(file, distance, &reached, origin))
        return false;
    if (position != nullptr)
        *position = reached.QuadPart;
    return true;
}

// A text-mode open for reading and writing drops a Ctrl-Z that ends the file, so that
// what is appended is not hidden behind an end-of-file mark. `end` is the file's size;
// the file position is left at the (new) end.
void DropFinalCtrlZ(HANDLE file, long long end)
{
    if (end <= 0)
        return;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(end - 1);
    at.OffsetHigh = static_cast<DWORD>((end - 1) >> 32);
    char byte = 0;
    DWORD read = 0;
    if (ReadFile(file, &byte, 1, &read, &at) && read == 1 && byte == kCtrlZ
        && SeekTo(file, end - 1, FILE_BEGIN, nullptr))
        SetEndOfFile(file);
}

// Writes `length` bytes, repeating only if the system wrote part of them.
void WriteAll(HANDLE file, const char* bytes, std::size_t length)
{
    while (length > 0) {
        DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            return;
        bytes += written;
        length -= written;
    }
}

// Writes `text` with each "\n" as CR LF, in one write when the translation has room:
// on the stack for the lines the module writes, on the heap beyond that, and in pieces
// (still under the lock) only when the heap is exhausted.
void WriteTextMode(HANDLE file, const char* text)
{
    std::size_t length = std::strlen(text);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < length; ++i)
        lineEnds += text[i] == '\n' ? 1 : 0;
    std::size_t translatedLength = length + lineEnds;

    char stackBytes[kStackBytes];
    char* translated = stackBytes;
    if (translatedLength > sizeof stackBytes)
        translated = static_cast<char*>(std::malloc(translatedLength));
    if (translated == nullptr) {
        for (std::size_t i = 0; i < length; ++i)
            WriteAll(file, text[i] == '\n' ? "\r\n" : &text[i], text[i] == '\n' ? 2 : 1);
        return;
    }
    std::size_t at = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            translated[at++] = '\r';
        translated[at++] = text[i];
    }
    WriteAll(file, translated, at);
    if (translated != stackBytes)
        std::free(translated);
}

}  // namespace

bool Platform_AppendLocked(const char* path, const char* text, long long emptyPast)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    OVERLAPPED range = {};
    range.OffsetHigh = kLockOffsetHigh;
    // Without the lock (a file system that has none) the message is still written.
    bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range) != 0;

    long long size = -1;
    long long end = 0;
    if (SeekTo(file, 0, FILE_END, &end)) {
        DropFinalCtrlZ(file, end);
        if (text != nullptr)
            WriteTextMode(file, text);
        SeekTo(file, 0, FILE_END, &size);
    }
    if (size > emptyPast && SeekTo(file, 0, FILE_BEGIN, nullptr))
        SetEndOfFile(file);

    if (locked)
        UnlockFileEx(file, 0, 1, 0, &range);
    CloseHandle(file);
    return true;
}
