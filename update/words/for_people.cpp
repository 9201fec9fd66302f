#include "words/for_people.h"

#include "words/language.h"

namespace torvexupdate {

std::string NumberForPeople(long long number)
{
    std::string digits = std::to_string(number);
    std::size_t first = number < 0 ? 1 : 0;
    if (CurrentLanguage() == Language::kFrench)
        for (std::size_t at = digits.size(); at > first + 3; at -= 3)
            digits.insert(at - 3, "\xC2\xA0");  // a no-break space between groups of three
    return digits;
}

std::string DecimalForPeople(std::string decimal)
{
    if (CurrentLanguage() == Language::kFrench)
        for (char& c : decimal)
            c = c == '.' ? ',' : c;
    return decimal;
}

std::string TimeForPeople(const std::string& iso, bool seconds)
{
    if (iso.size() < 19 || iso[4] != '-' || iso[7] != '-' || iso[10] != 'T')
        return iso;
    std::string time = iso.substr(11, seconds ? 8 : 5);
    if (CurrentLanguage() == Language::kFrench)
        return iso.substr(8, 2) + "/" + iso.substr(5, 2) + "/" + iso.substr(0, 4) + " " + time;
    return iso.substr(0, 10) + " " + time;
}

}  // namespace torvexupdate
