// Appending alone: the file is opened for reading and writing but shared for reading only,
// so that while one appender has it open no other can open it for writing (in this
// process or another), and readers that share writing, as log viewers and editors do, go
// on reading. That open is the whole exclusion: no lock calls around the write. An open
// refused for sharing is tried again until the wait given has passed. The text is
// translated as text mode would translate it and written with one WriteFile: an append
// takes the calls of a plain open-append-close (CreateFile, the end, WriteFile,
// CloseHandle), with a read of the last byte only when another writer changed the file.
//
// A program that keeps the file open for writing while sharing writes (an editor ready to
// save, another program's log) refuses that open for as long as it keeps it. Once the
// open has been refused for more than a moment, the file is opened sharing writes too:
// that open still excludes this module's exclusive appenders (it has write access they do
// not share), and appenders that come in this way take a byte-range lock far past the end
// of any log, so that they exclude each other as well; the other program's own writes are
// its own.
#include "platform/platform.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kCtrlZ = '\x1A';
constexpr std::size_t kStackBytes = 1024;
// Another appender holds the file for one line: the first tries only yield, later ones
// sleep, so that a program holding the file for long does not keep a core busy.
constexpr int kYieldingTries = 16;

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

// `text` with each "\n" as CR LF: in `stackBytes` for the lines the module writes, on the
// heap beyond that; null when the heap is exhausted.
char* TranslateTextMode(const char* text, std::size_t length, char (&stackBytes)[kStackBytes],
                        std::size_t* translatedLength)
{
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < length; ++i)
        lineEnds += text[i] == '\n' ? 1 : 0;
    std::size_t size = length + lineEnds;
    char* translated = size > sizeof stackBytes ? static_cast<char*>(std::malloc(size)) : stackBytes;
    if (translated == nullptr)
        return nullptr;
    std::size_t at = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\n')
            translated[at++] = '\r';
        translated[at++] = text[i];
    }
    *translatedLength = at;
    return translated;
}

// Writes `length` bytes, repeating only if the system wrote part of them. The bytes written.
long long WriteAll(HANDLE file, const char* bytes, std::size_t length)
{
    long long total = 0;
    while (length > 0) {
        DWORD chunk = length > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0)
            break;
        bytes += written;
        length -= written;
        total += written;
    }
    return total;
}

HANDLE OpenSharing(const char* path, DWORD share)
{
    return CreateFileA(path, GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The range that appenders opening the file with write sharing lock: far past any log, so
// that it never stands in the way of a reader or of the other program's writes.
OVERLAPPED SharedAppendersRange()
{
    OVERLAPPED range = {};
    range.OffsetHigh = 0x7FFFFFFFu;
    return range;
}

// Opens the file with write sharing, locking the shared appenders' range; invalid when
// the open or the lock is refused.
HANDLE OpenBesideAWriter(const char* path)
{
    HANDLE file = OpenSharing(path, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    OVERLAPPED range = SharedAppendersRange();
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range))
        return file;
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
}

// Opens `path` for this appender alone, with `besideAWriter` set when it had to share
// writes. On a sharing violation (another appender, or a program holding the file) tries
// again until `waitMilliseconds` have passed, then gives up with `held` set.
HANDLE OpenAlone(const char* path, unsigned waitMilliseconds, bool* held, bool* besideAWriter)
{
    DWORD start = GetTickCount();
    for (int tries = 1;; ++tries) {
        HANDLE file = OpenSharing(path, FILE_SHARE_READ);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            return file;
        // Another appender of this module holds the file for well under the yielding tries.
        if (tries >= kYieldingTries) {
            file = OpenBesideAWriter(path);
            if (file != INVALID_HANDLE_VALUE) {
                *besideAWriter = true;
                return file;
            }
        }
        if (GetTickCount() - start >= waitMilliseconds) {
            *held = true;
            return INVALID_HANDLE_VALUE;
        }
        Sleep(tries < kYieldingTries ? 0 : 1);
    }
}

// Where this module's last append left the file, and the file's path (hashed). While the
// file still ends there, its last byte is the one that append wrote, known not to be a
// Ctrl-Z, and is not read again: another writer that changed the file changed its size.
// The module's calls run one at a time, so the two are never set by two appends at once.
std::atomic<unsigned long long> g_knownPath{0};
std::atomic<long long> g_knownEnd{-1};

unsigned long long PathHash(const char* path)
{
    unsigned long long hash = 14695981039346656037ull;  // FNV-1a
    for (const char* c = path; *c != '\0'; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 1099511628211ull;
    return hash;
}

// Puts the position at the end of the file, before a Ctrl-Z that ends it: a text-mode open
// for reading and writing drops that mark, so that what is appended is not hidden behind
// it. A file still ending where this module left it takes one seek, as a plain append
// does. The position, or -1.
long long EndBeforeCtrlZ(HANDLE file, long long knownEnd)
{
    long long end = 0;
    if (!SeekTo(file, 0, FILE_END, &end))
        return -1;
    if (end == 0 || end == knownEnd)
        return end;
    char byte = 0;
    DWORD read = 0;
    if (!SeekTo(file, end - 1, FILE_BEGIN, nullptr))
        return -1;
    if (!ReadFile(file, &byte, 1, &read, nullptr) || read != 1)
        return SeekTo(file, end, FILE_BEGIN, nullptr) ? end : -1;
    if (byte != kCtrlZ)
        return end;
    return SeekTo(file, end - 1, FILE_BEGIN, nullptr) && SetEndOfFile(file) ? end - 1 : -1;
}

}  // namespace

AppendResult Platform_AppendLocked(const char* path, const char* text, long long emptyPast, unsigned waitMilliseconds)
{
    // Translated before the open, so that the file is held no longer than the write.
    std::size_t length = text != nullptr ? std::strlen(text) : 0;
    char stackBytes[kStackBytes];
    std::size_t translatedLength = 0;
    char* translated = TranslateTextMode(text != nullptr ? text : "", length, stackBytes, &translatedLength);

    bool held = false;
    bool besideAWriter = false;
    HANDLE file = OpenAlone(path, waitMilliseconds, &held, &besideAWriter);
    if (file != INVALID_HANDLE_VALUE) {
        unsigned long long pathHash = PathHash(path);
        bool endKnown = !besideAWriter && g_knownPath.load() == pathHash;
        long long end = EndBeforeCtrlZ(file, endKnown ? g_knownEnd.load() : -1);
        long long leftAt = -1;
        if (end >= 0) {
            long long written = 0;
            if (translated != nullptr) {
                written = WriteAll(file, translated, translatedLength);
                bool wholeWithoutCtrlZ = written == static_cast<long long>(translatedLength)
                    && (translatedLength == 0 || translated[translatedLength - 1] != kCtrlZ);
                leftAt = wholeWithoutCtrlZ ? end + written : -1;
            } else {  // no memory for the translation: the text in pieces, still alone
                for (std::size_t i = 0; i < length; ++i)
                    written += WriteAll(file, text[i] == '\n' ? "\r\n" : &text[i], text[i] == '\n' ? 2 : 1);
            }
            // Unless a program sharing writes holds the file, nobody else wrote meanwhile:
            // the size is where this write ended.
            long long size = end + written;
            if (besideAWriter)
                SeekTo(file, 0, FILE_END, &size);
            if (size > emptyPast)
                leftAt = SeekTo(file, 0, FILE_BEGIN, nullptr) && SetEndOfFile(file) ? 0 : -1;
        }
        g_knownPath.store(pathHash);
        g_knownEnd.store(besideAWriter ? -1 : leftAt);  // the other program may write at any time
        if (besideAWriter) {
            OVERLAPPED range = SharedAppendersRange();
            UnlockFileEx(file, 0, 1, 0, &range);
        }
        CloseHandle(file);
    }
    if (translated != stackBytes)
        std::free(translated);
    if (file == INVALID_HANDLE_VALUE)
        return held ? AppendResult::Held : AppendResult::NotOpened;
    return AppendResult::Written;
}
