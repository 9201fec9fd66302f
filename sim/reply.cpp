#include "reply.h"

#include <cstring>

namespace qsim {
namespace {

uint8_t g_reply[kReplyCapacity];
size_t g_replySize = 0;

}  // namespace

void ClearReply()
{
    g_replySize = 0;
}

void SetReply(const uint8_t* data, size_t size)
{
    if (!data)
        size = 0;
    g_replySize = size < kReplyCapacity ? size : kReplyCapacity;
    if (g_replySize)
        std::memcpy(g_reply, data, g_replySize);
}

uint8_t* ReplyBuffer()
{
    return g_reply;
}

void CommitReply(size_t size)
{
    g_replySize = size < kReplyCapacity ? size : kReplyCapacity;
}

void CopyReplyOut(char* dest, uint32_t length)
{
    if (!dest)
        return;
    size_t n = g_replySize < length ? g_replySize : length;
    if (n)
        std::memcpy(dest, g_reply, n);
    if (length > n)
        std::memset(dest + n, 0, length - n);
}

}  // namespace qsim
