// The configuration sections that answer entry-point calls, and the keys each one takes.
// A section may also be numbered, "[open.2]" or "[command.30.2]": it then answers that
// call only (the 2nd _OpenCommSession, the 2nd command 0x30), and is checked strictly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

enum class ValueKind {
    kNumber,      // decimal or 0x hexadecimal, 32 bits (ParseNumber)
    kNumberList,  // comma list of numbers (ParseNumberList)
    kHexBytes,    // hex bytes (ParseHexBytes), at most a reply's capacity
    kText,        // any text
};

struct SectionKey {
    const char* name;
    ValueKind kind;
};

// The keys a section takes call by call, in the order the README lists them; null when
// `base` ("open", "command.30", ...) answers no entry point call by call.
const SectionKey* FindSectionKeys(const char* base, size_t* count);

// The key of `base` named `key` (case-insensitive), or null.
const SectionKey* FindSectionKey(const char* base, const char* key);

// Whether `value` is a well-formed value of `kind`; when not, a short reason in `why`.
bool CheckValue(ValueKind kind, const char* value, char* why, size_t whyCap);

// Splits "open.2" into "open" and 2, "command.30.2" into "command.30" and 2. False when
// the name ends in no call number; `number` is then 0. A call number that is 0, above
// kMaxCallNumber or not plain decimal digits gives true with `number` 0.
constexpr uint32_t kMaxCallNumber = 1000000;
bool SplitNumberedSection(const char* name, char* base, size_t baseCap, uint32_t* number);

// The names of the sections answered call by call, for messages.
extern const char kAnsweredSections[];

}  // namespace qsim
