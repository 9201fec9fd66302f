#include "config.h"

#include "ascii.h"
#include "section_keys.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace qsim {
namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Trims [begin, end) in place and returns the NUL-terminated start.
char* Trim(char* begin, char* end)
{
    while (begin < end && IsSpace(*begin))
        ++begin;
    while (end > begin && IsSpace(end[-1]))
        --end;
    *end = '\0';
    return begin;
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

uint32_t HashNoCase(const char* text)
{
    uint32_t hash = 2166136261u;
    for (; *text; ++text)
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(*text))) * 16777619u;
    return hash;
}

}  // namespace

void Config::Load(const char* path)
{
    for (int i = 0; i < numbered_; ++i)
        sectionLines_[usedSlots_[i]] = 0;
    count_ = 0;
    numbered_ = 0;
    truncated_ = false;
    refused_ = false;
    refusal_[0] = '\0';
    text_[0] = '\0';
    if (!path)
        return;
    FILE* f = std::fopen(path, "rb");
    if (!f)
        return;
    size_t n = std::fread(text_, 1, kMaxText, f);
    truncated_ = n == kMaxText && std::fgetc(f) != EOF;
    std::fclose(f);
    text_[n] = '\0';
    // A stray NUL inside the file simply ends the parsed text.
    Parse();
    if (HasScript() && truncated_ && !refused_)
        Refuse(0, "the file is larger than %u bytes, so its script would be cut short",
               static_cast<unsigned>(kMaxText));
}

// printf-style on purpose: the compiler checks each reason against its format.
// NOLINTNEXTLINE(cert-dcl50-cpp)
void Config::Refuse(int line, const char* format, ...)
{
    if (refused_)
        return;  // the first mistake is the one reported
    refused_ = true;
    int at = line > 0 ? std::snprintf(refusal_, sizeof refusal_, "line %d: ", line) : 0;
    if (at < 0 || static_cast<size_t>(at) >= sizeof refusal_)
        at = 0;
    va_list args;
    va_start(args, format);
    std::vsnprintf(refusal_ + at, sizeof refusal_ - static_cast<size_t>(at), format, args);
    va_end(args);
}

int Config::FindSlot(const char* section) const
{
    int slot = static_cast<int>(HashNoCase(section) % kSectionSlots);
    // At most kMaxEntries of the 2 * kMaxEntries slots are ever used: a free one is found.
    while (sectionLines_[slot] != 0 && !EqualNoCase(sectionNames_[slot], section))
        slot = (slot + 1) % kSectionSlots;
    return slot;
}

bool Config::RememberNumberedSection(const char* section, int line)
{
    if (numbered_ >= kMaxEntries) {
        Refuse(line, "more numbered sections than the simulator holds (%d)", kMaxEntries);
        return false;
    }
    int slot = FindSlot(section);
    if (sectionLines_[slot] != 0) {
        Refuse(line, "[%s] is given twice (first at line %d)", section, sectionLines_[slot]);
        return false;
    }
    sectionNames_[slot] = section;
    sectionLines_[slot] = line;
    usedSlots_[numbered_++] = slot;
    return true;
}

void Config::CheckScriptedEntry(int line, const char* section, const char* base, const char* key, const char* value,
                                int firstOfSection)
{
    const SectionKey* known = FindSectionKey(base, key);
    if (!known) {
        size_t count = 0;
        const SectionKey* keys = FindSectionKeys(base, &count);
        char list[160] = {};
        size_t used = 0;
        for (size_t i = 0; i < count && used + 1 < sizeof list; ++i) {
            int n = std::snprintf(list + used, sizeof list - used, i ? ", %s" : "%s", keys[i].name);
            used += n > 0 ? static_cast<size_t>(n) : 0;
        }
        Refuse(line, "[%s]: \"%s\" is not a key a call of [%s] takes (%s)", section, key, base, list);
        return;
    }
    char why[128];
    if (!CheckValue(known->kind, value, why, sizeof why)) {
        Refuse(line, "[%s]: %s = %s %s", section, key, value, why);
        return;
    }
    for (int i = firstOfSection; i < count_; ++i) {
        if (EqualNoCase(entries_[i].key, key)) {
            Refuse(line, "[%s]: \"%s\" is given twice", section, key);
            return;
        }
    }
}

void Config::Parse()
{
    const char* section = "";
    // For a numbered section: its base name ("open", "command.30") and its first entry.
    char base[32] = {};
    bool numbered = false;
    int firstOfSection = 0;
    int malformedHeader = 0;
    char* line = text_;
    for (int lineNumber = 1; *line && !refused_; ++lineNumber) {
        char* end = line;
        while (*end && *end != '\n')
            ++end;
        char* next = *end ? end + 1 : end;
        char* s = Trim(line, end);

        if (*s == '\0' || *s == ';' || *s == '#') {
            // blank line or comment
        } else if (*s == '[') {
            char* close = std::strchr(s, ']');
            // A malformed header must not let the following keys land in the
            // previous section, so they are dropped until the next good one.
            section = close ? Trim(s + 1, close) : nullptr;
            numbered = false;
            if (!section && !malformedHeader)
                malformedHeader = lineNumber;
            uint32_t call = 0;
            if (section && SplitNumberedSection(section, base, sizeof base, &call)) {
                numbered = true;
                firstOfSection = count_;
                if (!FindSectionKeys(base, nullptr))
                    Refuse(lineNumber, "[%s]: \"%s\" answers no call by call (these do: %s)", section, base,
                           kAnsweredSections);
                else if (call == 0)
                    Refuse(lineNumber, "[%s]: calls are numbered from 1 to %u", section,
                           static_cast<unsigned>(kMaxCallNumber));
                else
                    RememberNumberedSection(section, lineNumber);
            }
        } else if (section) {
            char* eq = std::strchr(s, '=');
            if (!eq && numbered) {
                Refuse(lineNumber, "[%s]: \"%s\" is not key = value", section, s);
            } else if (eq) {
                char* value = Trim(eq + 1, eq + 1 + std::strlen(eq + 1));
                char* key = Trim(s, eq);
                if (numbered)
                    CheckScriptedEntry(lineNumber, section, base, key, value, firstOfSection);
                if (*key && count_ < kMaxEntries)
                    entries_[count_++] = Entry{section, key, value};
                else if (*key && numbered)
                    Refuse(lineNumber, "more keys than the simulator holds (%d)", kMaxEntries);
            }
        }
        line = next;
    }
    // A broken header may have been meant for the script: refuse rather than guess.
    if (malformedHeader && HasScript())
        Refuse(malformedHeader, "a section header without its closing ]");
}

const char* Config::Find(const char* section, const char* key) const
{
    if (refused_)
        return nullptr;
    for (int i = count_ - 1; i >= 0; --i) {
        if (EqualNoCase(entries_[i].section, section) && EqualNoCase(entries_[i].key, key))
            return entries_[i].value;
    }
    return nullptr;
}

bool Config::HasNumberedSection(const char* section) const
{
    return !refused_ && section && numbered_ > 0 && sectionLines_[FindSlot(section)] != 0;
}

bool Config::ReadNumber(const char* section, const char* key, int64_t* out) const
{
    const char* v = Find(section, key);
    return v && ParseNumber(v, out);
}

int32_t Config::ReadInt32Or(const char* section, const char* key, int32_t fallback) const
{
    int64_t v;
    return ReadNumber(section, key, &v) ? static_cast<int32_t>(static_cast<uint32_t>(v)) : fallback;
}

uint32_t Config::ReadUint32Or(const char* section, const char* key, uint32_t fallback) const
{
    int64_t v;
    return ReadNumber(section, key, &v) ? static_cast<uint32_t>(v) : fallback;
}

bool Config::IsFlagSet(const char* section, const char* key) const
{
    int64_t v;
    return ReadNumber(section, key, &v) && v != 0;
}

bool ParseNumber(const char* text, int64_t* out)
{
    if (!text || !out)
        return false;
    const char* p = text;
    int64_t value = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        p += 2;
        if (!*p)
            return false;
        for (; *p; ++p) {
            int d = HexDigitValue(*p);
            if (d < 0)
                return false;
            value = value * 16 + d;
            if (value > 0xFFFFFFFFLL)
                return false;
        }
        *out = value;
        return true;
    }
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = (*p++ == '-');
    if (!*p)
        return false;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + (*p - '0');
        if (value > 0xFFFFFFFFLL)
            return false;
    }
    if (negative) {
        if (value > 0x80000000LL)
            return false;
        value = -value;
    }
    *out = value;
    return true;
}

int ParseNumberList(const char* text, uint32_t* out, int max)
{
    if (!text)
        return 0;
    int total = 0;
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    if (!*p)
        return 0;
    for (;;) {
        const char* comma = std::strchr(p, ',');
        const char* end = comma ? comma : p + std::strlen(p);
        char item[32];
        const char* b = p;
        const char* e = end;
        while (b < e && IsSpace(*b))
            ++b;
        while (e > b && IsSpace(e[-1]))
            --e;
        size_t len = static_cast<size_t>(e - b);
        if (len == 0 || len >= sizeof item)
            return -1;
        std::memcpy(item, b, len);
        item[len] = '\0';
        int64_t v;
        if (!ParseNumber(item, &v))
            return -1;
        if (out && total < max)
            out[total] = static_cast<uint32_t>(v);
        ++total;
        if (!comma)
            break;
        p = comma + 1;
    }
    return total;
}

bool ParseHexBytes(const char* text, uint8_t* out, size_t max, size_t* count)
{
    size_t n = 0;
    const char* p = text ? text : "";
    while (*p) {
        if (IsSpace(*p) || *p == ',' || *p == ':') {
            ++p;
            continue;
        }
        const char* end = p;
        while (*end && !IsSpace(*end) && *end != ',' && *end != ':')
            ++end;
        size_t digits = static_cast<size_t>(end - p);
        // An odd-length token reads as if it had a leading zero ("7" = 07).
        int high = (digits % 2) ? 0 : -1;
        for (; p < end; ++p) {
            int d = HexDigitValue(*p);
            if (d < 0)
                return false;
            if (high < 0) {
                high = d;
            } else {
                if (out && n < max)
                    out[n] = static_cast<uint8_t>(high * 16 + d);
                ++n;
                high = -1;
            }
        }
    }
    if (count)
        *count = n;
    return true;
}

}  // namespace qsim
