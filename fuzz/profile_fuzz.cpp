// Fuzzes the native INI reader with any file content, section, key, default and buffer
// size. The value buffer is followed by canaries; the value must be terminated within the
// size given, never longer than it allows, and made only of bytes of the file or of the
// default.
#include "platform/platform.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const unsigned char kCanary = 0xA5;
const std::size_t kCanaryCount = 32;

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "profile_fuzz: %s\n", what);
        std::abort();
    }
}

// A file of this process's own, in memory-backed storage when there is some.
const std::string& IniPath()
{
    static const std::string path = [] {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/profile_fuzz-" + std::to_string(getpid()) + ".ini";
    }();
    return path;
}

bool Within(const std::string& haystack, const char* needle, std::size_t length)
{
    return length == 0 || (haystack.size() >= length && haystack.find(std::string(needle, length)) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    std::size_t valueSize = input.ConsumeIntegralInRange<std::size_t>(0, 300);
    std::string section = input.ConsumeRandomLengthString(24);
    std::string key = input.ConsumeRandomLengthString(24);
    std::string defaultValue = input.ConsumeRandomLengthString(300);
    bool fileExists = input.ConsumeBool();
    std::string content = input.ConsumeRemainingBytesAsString();

    if (fileExists) {
        std::FILE* file = std::fopen(IniPath().c_str(), "wb");
        Check(file != nullptr, "cannot write the INI file");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    } else {
        std::remove(IniPath().c_str());
    }

    std::vector<unsigned char> value(valueSize + kCanaryCount, kCanary);
    char* text = reinterpret_cast<char*>(value.data());
    Platform_ReadProfileString(section.c_str(), key.c_str(), defaultValue.c_str(), text, valueSize, IniPath().c_str());

    for (std::size_t i = valueSize; i < value.size(); ++i)
        Check(value[i] == kCanary, "written past the buffer");
    if (valueSize == 0) {
        Check(value[0] == kCanary, "written into a buffer of size 0");
        return 0;
    }
    const void* end = std::memchr(text, '\0', valueSize);
    Check(end != nullptr, "value not terminated within the buffer");
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - text);
    Check(length < valueSize, "value as long as the buffer");
    Check(Within(content, text, length) || Within(defaultValue.c_str(), text, length),
          "value made of bytes from neither the file nor the default");
    return 0;
}
