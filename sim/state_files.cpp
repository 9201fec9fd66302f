#include "state_files.h"

#include "platform/sim_platform.h"
#include "self_path.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace qsim {

bool BuildStatePath(StateFile file, char* out, size_t cap)
{
    const char* name = nullptr;
    switch (file) {
    case StateFile::kFlash:
        name = "quelvane-sim.flash";
        break;
    case StateFile::kEeprom:
        name = "quelvane-sim.eeprom";
        break;
    case StateFile::kConfig:
        name = "quelvane-sim.ini";
        break;
    case StateFile::kJournal:
        name = "quelvane-sim.journal";
        break;
    case StateFile::kSessions:
        name = "quelvane-sim.sessions";
        break;
    case StateFile::kCalls:
        name = "quelvane-sim.calls";
        break;
    }
    if (!name || !FindModuleDirectory(out, cap))
        return false;
    size_t dir = std::strlen(out);
    size_t len = std::strlen(name);
    if (dir + len + 1 > cap)
        return false;
    std::memcpy(out + dir, name, len + 1);
    return true;
}

int64_t ReadFileSize(const char* path)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return -1;
    int64_t size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        size = std::ftell(f);
    std::fclose(f);
    return size;
}

size_t ReadFileBytes(const char* path, uint32_t offset, uint8_t* out, size_t cap)
{
    if (!out || cap == 0)
        return 0;
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return 0;
    size_t n = 0;
    if (std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0)
        n = std::fread(out, 1, cap, f);
    std::fclose(f);
    return n;
}

namespace {

// Milliseconds on a monotonic clock.
uint64_t NowMilliseconds()
{
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

// Writes the bytes in pieces of a twentieth of a second's worth, each flushed and
// released no earlier than the pace allows.
bool WritePaced(FILE* f, const uint8_t* bytes, size_t len, uint32_t bytesPerSecond)
{
    size_t piece = bytesPerSecond / 20;
    if (piece == 0)
        piece = 1;
    uint64_t start = NowMilliseconds();
    size_t done = 0;
    while (done < len) {
        size_t n = len - done < piece ? len - done : piece;
        if (std::fwrite(bytes + done, 1, n, f) != n || std::fflush(f) != 0)
            return false;
        done += n;
        uint64_t due = start + static_cast<uint64_t>(done) * 1000 / bytesPerSecond;
        uint64_t now = NowMilliseconds();
        if (due > now)
            SleepMilliseconds(due - now);
    }
    return true;
}

}  // namespace

bool WriteWholeFile(const char* path, const void* data, size_t len, uint32_t bytesPerSecond)
{
    if (!path || (!data && len > 0))
        return false;
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = len == 0;
    if (!ok && bytesPerSecond > 0)
        ok = WritePaced(f, static_cast<const uint8_t*>(data), len, bytesPerSecond);
    else if (!ok)
        ok = std::fwrite(data, 1, len, f) == len;
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

void AppendLine(const char* path, const char* line)
{
    FILE* f = path ? std::fopen(path, "ab") : nullptr;
    if (!f)
        return;
    std::fputs(line, f);
    std::fputc('\n', f);
    std::fclose(f);
}

}  // namespace qsim
