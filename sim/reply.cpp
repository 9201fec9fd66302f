#include "reply.h"

#include <cstring>

namespace qsim {
namespace {

uint8_t g_reply[kReplyCapacity];
size_t g_size = 0;

} // namespace

void reply_clear() { g_size = 0; }

void reply_set(const uint8_t* data, size_t size) {
    if (!data) size = 0;
    g_size = size < kReplyCapacity ? size : kReplyCapacity;
    if (g_size) std::memcpy(g_reply, data, g_size);
}

uint8_t* reply_buffer() { return g_reply; }

void reply_commit(size_t size) { g_size = size < kReplyCapacity ? size : kReplyCapacity; }

void reply_copy_out(char* dest, uint32_t length) {
    if (!dest) return;
    size_t n = g_size < length ? g_size : length;
    if (n) std::memcpy(dest, g_reply, n);
    if (length > n) std::memset(dest + n, 0, length - n);
}

} // namespace qsim
