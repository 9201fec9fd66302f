#include "answer.h"

#include "call_counts.h"

#include <cstdio>

namespace qsim {

Answer::Answer(const Config& config, const char* section) : config_(config), section_(section)
{
    if (!config.HasScript())
        return;
    uint32_t call = CountCall(section);
    std::snprintf(numbered_, sizeof numbered_, "%s.%u", section, static_cast<unsigned>(call));
    if (call == 0 || !config.HasNumberedSection(numbered_))
        numbered_[0] = '\0';
}

const char* Answer::Find(const char* key) const
{
    const char* value = FindInCall(key);
    return value ? value : FindStatic(key);
}

const char* Answer::FindInCall(const char* key) const
{
    return numbered_[0] ? config_.Find(numbered_, key) : nullptr;
}

const char* Answer::FindStatic(const char* key) const
{
    return config_.Find(section_, key);
}

bool Answer::ReadNumber(const char* key, int64_t* out) const
{
    const char* value = Find(key);
    return value && ParseNumber(value, out);
}

int32_t Answer::ReadInt32Or(const char* key, int32_t fallback) const
{
    int64_t v;
    return ReadNumber(key, &v) ? static_cast<int32_t>(static_cast<uint32_t>(v)) : fallback;
}

uint32_t Answer::ReadUint32Or(const char* key, uint32_t fallback) const
{
    int64_t v;
    return ReadNumber(key, &v) ? static_cast<uint32_t>(v) : fallback;
}

bool Answer::IsFlagSet(const char* key) const
{
    int64_t v;
    return ReadNumber(key, &v) && v != 0;
}

}  // namespace qsim
