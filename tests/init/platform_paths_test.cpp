// The native module-path and folder services at the exact size of their buffers: one
// byte short, exact, one byte over, with a guard byte after the buffer that must survive.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kGuard = '#';

// A buffer of `size` bytes followed by one guard byte.
struct GuardedBuffer {
    explicit GuardedBuffer(std::size_t capacity) : bytes(capacity + 1, 'x') { bytes[capacity] = kGuard; }
    char* data() { return bytes.data(); }
    bool GuardIntact() const { return bytes.back() == kGuard; }
    std::vector<char> bytes;
};

TEST(PlatformPaths, ModuleFilePathAtItsBufferSize)
{
    char exe[4096] = {};
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(length, 0);
    const std::string path(exe, static_cast<std::size_t>(length));
    const std::size_t fit = path.size() + 1;  // the path and its terminator
    for (std::size_t size : {fit - 1, fit, fit + 1}) {
        SCOPED_TRACE(size);
        GuardedBuffer buffer(size);
        // No module of that name is loaded: the host program's own path comes back.
        std::size_t result = Platform_ModuleFilePath("no-such-module.dll", buffer.data(), size);
        EXPECT_TRUE(buffer.GuardIntact());
        if (size < fit) {
            EXPECT_EQ(result, size);  // cut: the caller sees that it did not fit
            EXPECT_EQ(std::string(buffer.data()), path.substr(0, size - 1));
        } else {
            EXPECT_EQ(result, path.size());
            EXPECT_EQ(std::string(buffer.data()), path);
        }
    }
}

TEST(PlatformPaths, SplitFolderAtItsBufferSize)
{
    const std::string folder = "/srv/boards/unit-7/";
    const std::size_t fit = folder.size() + 1;
    for (std::size_t size : {fit - 1, fit, fit + 1}) {
        SCOPED_TRACE(size);
        GuardedBuffer drive(1);
        GuardedBuffer out(size);
        bool split = Platform_SplitFolder((folder + "torvex.dll").c_str(), drive.data(), 1, out.data(), size);
        EXPECT_TRUE(drive.GuardIntact());
        EXPECT_TRUE(out.GuardIntact());
        EXPECT_EQ(split, size >= fit);
        if (split) {
            EXPECT_EQ(std::string(out.data()), folder);
            EXPECT_EQ(std::string(drive.data()), "");
        }
    }
}

}  // namespace
