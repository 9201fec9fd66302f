// A catalogue is a table of entries, one a message in the order of the Message
// enumeration. The checks below run at compile time, so that a language that lacks an
// entry, or words one with other placeholders than English, does not build.
#pragma once

#include "words/messages.h"

#include <cstddef>
#include <string_view>

namespace torvexupdate {

struct Entry {
    Message message;
    const char* text;
};

constexpr std::size_t kMessageCount = static_cast<std::size_t>(Message::kCount);

// The index of the first entry out of the enumeration's order; kMessageCount when every
// message has its entry in place (and a table of another size never passes).
template <std::size_t N> constexpr std::size_t FirstEntryOutOfOrder(const Entry (&table)[N])
{
    for (std::size_t i = 0; i < N && i < kMessageCount; ++i)
        if (static_cast<std::size_t>(table[i].message) != i)
            return i;
    return N == kMessageCount ? kMessageCount : (N < kMessageCount ? N : kMessageCount + 1);
}

constexpr std::size_t CountOf(std::string_view text, std::string_view token)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos; at = text.find(token, at + 1))
        ++count;
    return count;
}

// Whether each "{name}" in `from` stands as many times in `in`.
constexpr bool PlaceholdersKept(std::string_view from, std::string_view in)
{
    for (std::size_t open = from.find('{'); open != std::string_view::npos; open = from.find('{', open + 1)) {
        std::size_t close = from.find('}', open);
        if (close == std::string_view::npos)
            return false;
        std::string_view token = from.substr(open, close - open + 1);
        if (CountOf(from, token) != CountOf(in, token))
            return false;
    }
    return true;
}

// The index of the first entry whose placeholders differ from the reference's entry;
// kMessageCount when they all agree.
template <std::size_t N>
constexpr std::size_t FirstPlaceholderMismatch(const Entry (&table)[N], const Entry (&reference)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        if (!PlaceholdersKept(reference[i].text, table[i].text) || !PlaceholdersKept(table[i].text, reference[i].text))
            return i;
    return kMessageCount;
}

}  // namespace torvexupdate
