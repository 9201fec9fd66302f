// The reply of the last command, held in process memory until the next
// SendCommand replaces it, and handed out by GetResult.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

constexpr size_t kReplyCapacity = size_t{64} * 1024;

void reply_clear();

// Keeps the first kReplyCapacity bytes of data.
void reply_set(const uint8_t* data, size_t size);

// Buffer to fill directly, then commit the number of bytes written.
uint8_t* reply_buffer();
void reply_commit(size_t size);

// Writes exactly length bytes to dest: the pending reply, then zeros.
void reply_copy_out(char* dest, uint32_t length);

} // namespace qsim
