// Fuzzes the banner decoder with any source size and destination size. The first byte
// gives the destination size, the second how many of the remaining bytes form the
// source (a number at or beyond what remains takes them all). The source is copied into
// a heap block of exactly its size and the destination is followed by canaries, so any
// access out of either buffer is caught.
#include "common/banner_columns.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const unsigned char kCanary = 0xA5;
const std::size_t kCanaryCount = 32;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::size_t textSize = data[0];
    std::size_t sourceSize = size - 2;
    if (data[1] < sourceSize)
        sourceSize = data[1];
    const std::uint8_t* bytes = data + 2;

    char* source = new char[sourceSize];
    if (sourceSize > 0)
        std::memcpy(source, bytes, sourceSize);
    std::vector<unsigned char> destination(textSize + kCanaryCount, kCanary);

    DecodeFirmwareVersion(source, sourceSize, reinterpret_cast<char*>(destination.data()), textSize);

    for (std::size_t i = textSize; i < destination.size(); ++i)
        Check(destination[i] == kCanary);
    if (textSize > 0) {
        const void* end = std::memchr(destination.data(), '\0', textSize);
        Check(end != nullptr);
        std::size_t length = static_cast<const unsigned char*>(end) - destination.data();
        Check(length < textSize);
        // At most every source byte and one space at each of the four columns.
        Check(length <= sourceSize + 4);
        for (std::size_t i = 0; i < length; ++i)
            Check(destination[i] == ' ' || std::memchr(source, destination[i], sourceSize) != nullptr);
    }
    delete[] source;
    return 0;
}
