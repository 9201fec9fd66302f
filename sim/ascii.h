// ASCII letter case, as the simulator's files compare names: section names, keys and call
// names match whatever case a person typed them in.
#pragma once

namespace qsim {

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualNoCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        if (AsciiLower(*a) != AsciiLower(*b))
            return false;
    }
    return *a == *b;
}

}  // namespace qsim
