#include "state_files.h"

#include "self_path.h"

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

bool WriteWholeFile(const char* path, const void* data, size_t len)
{
    if (!path || (!data && len > 0))
        return false;
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = len == 0 || std::fwrite(data, 1, len, f) == len;
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
