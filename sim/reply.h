// The reply of the last command, held in process memory until the next
// SendCommand replaces it, and handed out by GetResult.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

constexpr size_t kReplyCapacity = size_t{64} * 1024;

void ClearReply();

// Keeps the first kReplyCapacity bytes of data.
void SetReply(const uint8_t* data, size_t size);

// Buffer to fill directly, then commit the number of bytes written.
uint8_t* ReplyBuffer();
void CommitReply(size_t size);

// Writes exactly length bytes to dest: the pending reply, then zeros.
void CopyReplyOut(char* dest, uint32_t length);

}  // namespace qsim
