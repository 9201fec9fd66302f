#include "section_keys.h"

#include "ascii.h"
#include "config.h"
#include "reply.h"

#include <cstdio>
#include <cstring>

namespace qsim {
namespace {

bool IsHexDigit(char c)
{
    c = AsciiLower(c);
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

constexpr SectionKey kResultOnly[] = {{"result", ValueKind::kNumber}};
constexpr SectionKey kSessionsKeys[] = {
    {"occupied", ValueKind::kNumberList}, {"count", ValueKind::kNumber}, {"result", ValueKind::kNumber}};
constexpr SectionKey kOpenKeys[] = {{"result", ValueKind::kNumber},
                                    {"com", ValueKind::kNumber},
                                    {"general", ValueKind::kNumber},
                                    {"aux", ValueKind::kNumber},
                                    {"flag", ValueKind::kNumber}};
constexpr SectionKey kInitKeys[] = {{"result", ValueKind::kNumber},
                                    {"com", ValueKind::kNumber},
                                    {"general", ValueKind::kNumber},
                                    {"aux", ValueKind::kNumber}};
constexpr SectionKey kBoardInfoKeys[] = {{"result", ValueKind::kNumber},          {"reference", ValueKind::kText},
                                         {"reference_hex", ValueKind::kHexBytes}, {"com", ValueKind::kNumber},
                                         {"general", ValueKind::kNumber},         {"unterminated", ValueKind::kNumber}};
constexpr SectionKey kCommandKeys[] = {{"result", ValueKind::kNumber},      {"com", ValueKind::kNumber},
                                       {"general", ValueKind::kNumber},     {"reply", ValueKind::kHexBytes},
                                       {"replyLength", ValueKind::kNumber}, {"untouched", ValueKind::kNumber},
                                       {"store", ValueKind::kNumber}};

struct Section {
    const char* name;
    const SectionKey* keys;
    size_t count;
};

template <size_t N> constexpr Section Make(const char* name, const SectionKey (&keys)[N])
{
    return Section{name, keys, N};
}

constexpr Section kSections[] = {
    Make("router", kResultOnly),       Make("sessions", kSessionsKeys), Make("open", kOpenKeys),
    Make("init", kInitKeys),           Make("close", kResultOnly),      Make("getresult", kResultOnly),
    Make("boardinfo", kBoardInfoKeys), Make("cleanup", kResultOnly),
};

// "command." and two hex digits: the section of one command code.
bool IsCommandSection(const char* base)
{
    const char prefix[] = "command.";
    for (size_t i = 0; i + 1 < sizeof prefix; ++i) {
        if (AsciiLower(base[i]) != prefix[i])
            return false;
    }
    const char* code = base + sizeof prefix - 1;
    return IsHexDigit(code[0]) && IsHexDigit(code[1]) && code[2] == '\0';
}

}  // namespace

const char kAnsweredSections[] = "router, sessions, open, init, close, getresult, boardinfo, cleanup, command.XX";

const SectionKey* FindSectionKeys(const char* base, size_t* count)
{
    if (!base)
        return nullptr;
    const SectionKey* keys = nullptr;
    size_t n = 0;
    if (IsCommandSection(base)) {
        keys = kCommandKeys;
        n = sizeof kCommandKeys / sizeof kCommandKeys[0];
    }
    for (const Section& section : kSections) {
        if (EqualNoCase(section.name, base)) {
            keys = section.keys;
            n = section.count;
        }
    }
    if (count)
        *count = keys ? n : 0;
    return keys;
}

const SectionKey* FindSectionKey(const char* base, const char* key)
{
    size_t count = 0;
    const SectionKey* keys = FindSectionKeys(base, &count);
    for (size_t i = 0; i < count && key; ++i) {
        if (EqualNoCase(keys[i].name, key))
            return &keys[i];
    }
    return nullptr;
}

bool CheckValue(ValueKind kind, const char* value, char* why, size_t whyCap)
{
    int64_t number = 0;
    size_t bytes = 0;
    switch (kind) {
    case ValueKind::kNumber:
        if (ParseNumber(value, &number))
            return true;
        std::snprintf(why, whyCap, "is not a number (decimal, or 0x and hexadecimal digits, within 32 bits)");
        return false;
    case ValueKind::kNumberList:
        if (ParseNumberList(value, nullptr, 0) >= 0)
            return true;
        std::snprintf(why, whyCap, "is not a comma list of numbers");
        return false;
    case ValueKind::kHexBytes:
        if (!ParseHexBytes(value, nullptr, 0, &bytes)) {
            std::snprintf(why, whyCap, "is not hex bytes (such as 41 42 00 43)");
            return false;
        }
        if (bytes > kReplyCapacity) {
            std::snprintf(why, whyCap, "holds %u bytes, more than the %u a reply may hold",
                          static_cast<unsigned>(bytes), static_cast<unsigned>(kReplyCapacity));
            return false;
        }
        return true;
    case ValueKind::kText:
        return true;
    }
    return false;
}

bool SplitNumberedSection(const char* name, char* base, size_t baseCap, uint32_t* number)
{
    *number = 0;
    const char* dot = std::strrchr(name, '.');
    if (!dot || dot == name || dot[1] == '\0')
        return false;
    for (const char* c = dot + 1; *c; ++c) {
        if (*c < '0' || *c > '9')
            return false;
    }
    size_t baseLength = static_cast<size_t>(dot - name);
    if (baseLength + 1 > baseCap)
        return false;
    std::memcpy(base, name, baseLength);
    base[baseLength] = '\0';
    // "[command.30]" names a command, not the 30th call of "command".
    if (EqualNoCase(base, "command"))
        return false;
    uint64_t value = 0;
    for (const char* c = dot + 1; *c && value <= kMaxCallNumber; ++c)
        value = value * 10 + static_cast<uint64_t>(*c - '0');
    *number = value >= 1 && value <= kMaxCallNumber ? static_cast<uint32_t>(value) : 0;
    return true;
}

}  // namespace qsim
