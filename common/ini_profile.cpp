// INI reading with the rules of the Windows profile call that the module relies on:
// section and key names compared without case, names and value trimmed, a value in
// matching quotes unquoted, the first matching section and key win, the default when
// the file, section or key is missing, the result truncated to the buffer.
#include "common/ini_profile.h"

#include <strings.h>
#include <cstring>
#include <string>

namespace {

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool ReadLine(std::FILE* file, std::string& line)
{
    line.clear();
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        if (c == '\n')
            return true;
        line.push_back(static_cast<char>(c));
    }
    return !line.empty();
}

// Looks the key up; true and `found` set when present.
bool FindValue(std::FILE* file, const char* section, const char* key, std::string& found)
{
    std::string line;
    bool inSection = false;
    bool sectionSeen = false;
    while (ReadLine(file, line)) {
        std::string text = Trim(line);
        if (text.empty() || text[0] == ';')
            continue;
        if (text[0] == '[') {
            std::size_t close = text.find(']');
            std::string name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            if (inSection)
                sectionSeen = true;  // only the first section of that name counts
            inSection = !sectionSeen && strcasecmp(name.c_str(), section) == 0;
            continue;
        }
        if (!inSection)
            continue;
        std::size_t equals = text.find('=');
        if (equals == std::string::npos)
            continue;
        if (strcasecmp(Trim(text.substr(0, equals)).c_str(), key) == 0) {
            found = Unquote(Trim(text.substr(equals + 1)));
            return true;
        }
    }
    return false;
}

void CopyBounded(const std::string& text, char* value, std::size_t size)
{
    std::size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(value, text.data(), length);
    value[length] = '\0';
}

}  // namespace

void ReadIniString(const char* section, const char* key, const char* defaultValue, char* value, std::size_t size,
                   const char* iniPath)
{
    if (value == nullptr || size == 0)
        return;
    std::string result = Trim(defaultValue != nullptr ? defaultValue : "");
    std::FILE* file = (iniPath != nullptr && iniPath[0] != '\0') ? std::fopen(iniPath, "rb") : nullptr;
    if (file != nullptr) {
        std::string found;
        if (FindValue(file, section, key, found))
            result = found;
        std::fclose(file);
    }
    CopyBounded(result, value, size);
}
