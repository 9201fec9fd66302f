// Tiny INI reader for the simulator's configuration / fault-injection file.
//
// Syntax: "[section]" headers, "key=value" lines, full-line comments starting
// with ';' or '#'. Section and key names are case-insensitive, names and values
// are trimmed, and when a key appears twice the last occurrence wins. The file
// is re-read on every entry-point call, so it is parsed in place into a fixed
// buffer with no allocation.
//
// Numbered sections ("[open.2]", "[command.30.2]") are the script: each answers one
// call. They are checked strictly; one mistake refuses the whole file (Refused()), so
// that nothing of a bad script is half applied.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qsim {

class Config {
public:
    // Reads and parses the file; a missing or unreadable file gives an empty
    // configuration (every lookup misses). Files beyond kMaxText bytes are
    // parsed up to that size (refused when they hold a script).
    void Load(const char* path);

    // Raw trimmed value, or nullptr when the key is absent.
    const char* Find(const char* section, const char* key) const;

    // Numeric value (see ParseNumber); false when absent or malformed.
    bool ReadNumber(const char* section, const char* key, int64_t* out) const;

    // Numeric value truncated to 32 bits, or fallback when absent/malformed.
    int32_t ReadInt32Or(const char* section, const char* key, int32_t fallback) const;
    uint32_t ReadUint32Or(const char* section, const char* key, uint32_t fallback) const;

    // True when the key holds a non-zero number.
    bool IsFlagSet(const char* section, const char* key) const;

    // Whether the file holds numbered sections, and whether it has the numbered section named.
    bool HasScript() const { return numbered_ > 0; }
    bool HasNumberedSection(const char* section) const;

    // "line N: reason" when the file was refused (a mistake in its script); null otherwise.
    // A refused configuration answers no lookup.
    const char* Refusal() const { return refused_ ? refusal_ : nullptr; }

    static constexpr size_t kMaxText = size_t{1024} * 1024;
    static constexpr int kMaxEntries = 16384;

private:
    struct Entry {
        const char* section;
        const char* key;
        const char* value;
    };

    void Parse();
    void Refuse(int line, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    // Checks one key = value line of a numbered section, and remembers the section's name.
    void CheckScriptedEntry(int line, const char* section, const char* base, const char* key, const char* value,
                            int firstOfSection);
    bool RememberNumberedSection(const char* section, int line);

    char text_[kMaxText + 1] = {};
    Entry entries_[kMaxEntries] = {};
    int count_ = 0;
    int numbered_ = 0;
    bool truncated_ = false;
    bool refused_ = false;
    char refusal_[512] = {};

    // Open-addressing set of the numbered sections seen, to refuse one given twice.
    static constexpr int kSectionSlots = 2 * kMaxEntries;
    const char* sectionNames_[kSectionSlots] = {};
    int sectionLines_[kSectionSlots] = {};    // 0: slot free
    int usedSlots_[kMaxEntries] = {};         // the slots to free again at the next Load
    int FindSlot(const char* section) const;  // the slot holding it, or the free one where it would go
};

// Decimal (optionally signed) or 0x-prefixed hexadecimal; the value must fit in
// 32 bits, either signed or unsigned. Surrounding whitespace is not accepted.
bool ParseNumber(const char* text, int64_t* out);

// Comma-separated list of numbers. Stores up to max values, returns how many
// values the list holds in total (possibly more than max), or -1 when any item
// is malformed. An empty text is an empty list.
int ParseNumberList(const char* text, uint32_t* out, int max);

// Hex bytes separated by spaces, commas or colons ("41 42 00 43"); a token may
// also hold several bytes ("41420043"). Stores up to max bytes and sets *count
// to the number of bytes the text describes. False when malformed.
bool ParseHexBytes(const char* text, uint8_t* out, size_t max, size_t* count);

}  // namespace qsim
