#include "history/history_view.h"

#include "history/outcome_table.h"
#include "history/result_words.h"

#include "system/system_facts.h"

#include <cstdio>
#include <ctime>

namespace torvexupdate {

namespace {

std::string TimeText(const Record& record)
{
    std::string time = FieldText(record, field::kTime);
    long long seconds = 0;
    return ParseRecordTime(time, &seconds) ? LocalIsoTime(seconds) : time;
}

std::string ResultWords(const Record& record)
{
    const Record* result = FieldObject(record, field::kResult);
    return result != nullptr ? FieldText(*result, field::kWords) : "";
}

std::string OutcomeForPeople(const Record& record)
{
    return OutcomeWordOf(FieldText(record, field::kOutcome));
}

// A column that shows a text field as it is.
template <const char* const& name> std::string TextOf(const Record& record)
{
    return FieldText(record, name);
}

std::string SizeText(const Record& record)
{
    std::optional<long long> size = FieldNumber(record, field::kSize);
    return size ? std::to_string(*size) : "";
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar: the system's
// conversions differ between the C runtimes, this is plain arithmetic.
long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2 ? 1 : 0;
    long long era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

long long SecondsOf(int year, int month, int day, int hour, int minute, int second)
{
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400
        + static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
}

// The number written with exactly `count` digits from `at` in `text`.
bool FixedDigits(const std::string& text, std::size_t at, std::size_t count, int* value)
{
    if (at + count > text.size())
        return false;
    int number = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    *value = number;
    return true;
}

bool InRange(int year, int month, int day, int hour, int minute, int second)
{
    return year >= 1970 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 && hour <= 23
        && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

}  // namespace

std::string ChosenOperator(const std::string& given)
{
    return given.empty() ? EnvironmentVariable(kOperatorVariable) : given;
}

const std::vector<HistoryColumn>& HistoryColumns()
{
    static const std::vector<HistoryColumn> kColumns = {
        {column::kTime, TimeText, nullptr},
        {column::kBoard, TextOf<field::kBoard>, nullptr},
        {column::kOutcome, TextOf<field::kOutcome>, OutcomeForPeople},
        {column::kFile, TextOf<field::kFile>, nullptr},
        {column::kSize, SizeText, nullptr},
        {column::kSha256, TextOf<field::kSha256>, nullptr},
        {column::kBannerBefore, TextOf<field::kBannerBefore>, nullptr},
        {column::kBannerAfter, TextOf<field::kBannerAfter>, nullptr},
        {column::kOperator, TextOf<field::kOperator>, nullptr},
        {column::kStation, TextOf<field::kMachine>, nullptr},
        {column::kProgram, TextOf<field::kProgram>, nullptr},
        {column::kResult, ResultWords, ResultForPeople},
    };
    return kColumns;
}

std::string PeoplesText(const HistoryColumn& column, const Record& record)
{
    return column.forPeople != nullptr ? column.forPeople(record) : column.text(record);
}

const HistoryColumn* FindHistoryColumn(const std::string& name)
{
    for (const HistoryColumn& column : HistoryColumns())
        if (name == column.name)
            return &column;
    return nullptr;
}

bool ParseRecordTime(const std::string& text, long long* seconds)
{
    // As the records write it: YYYY-MM-DDTHH:MM:SSZ.
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':'
        || text[19] != 'Z' || !FixedDigits(text, 0, 4, &year) || !FixedDigits(text, 5, 2, &month)
        || !FixedDigits(text, 8, 2, &day) || !FixedDigits(text, 11, 2, &hour) || !FixedDigits(text, 14, 2, &minute)
        || !FixedDigits(text, 17, 2, &second) || !InRange(year, month, day, hour, minute, second))
        return false;
    *seconds = SecondsOf(year, month, day, hour, minute, second);
    return true;
}

std::string LocalIsoTime(long long seconds)
{
    std::time_t time = static_cast<std::time_t>(seconds);
    const std::tm* parts = std::localtime(&time);  // the front ends call it from one thread
    if (parts == nullptr)
        return "";
    std::tm local = *parts;
    long long offset = SecondsOf(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                                 local.tm_sec)
        - seconds;
    long long minutes = (offset < 0 ? -offset : offset) / 60;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                  minutes / 60, minutes % 60);
    return text;
}

bool ParseDate(const std::string& text, long long* seconds)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !FixedDigits(text, 0, 4, &year)
        || !FixedDigits(text, 5, 2, &month) || !FixedDigits(text, 8, 2, &day))
        return false;
    std::string rest = text.substr(10);
    if (!rest.empty()) {
        if ((rest[0] != 'T' && rest[0] != ' ') || rest.size() < 6 || rest[3] != ':' || !FixedDigits(rest, 1, 2, &hour)
            || !FixedDigits(rest, 4, 2, &minute))
            return false;
        rest = rest.substr(6);
        if (!rest.empty() && rest[0] == ':') {
            if (!FixedDigits(rest, 1, 2, &second))
                return false;
            rest = rest.substr(3);
        }
    }
    if (!InRange(year, month, day, hour, minute, second))
        return false;
    long long wall = SecondsOf(year, month, day, hour, minute, second);
    if (rest == "Z") {
        *seconds = wall;
        return true;
    }
    int offsetHours = 0, offsetMinutes = 0;
    if (rest.size() == 6 && (rest[0] == '+' || rest[0] == '-') && rest[3] == ':'
        && FixedDigits(rest, 1, 2, &offsetHours) && FixedDigits(rest, 4, 2, &offsetMinutes) && offsetHours <= 23
        && offsetMinutes <= 59) {
        long long offset = (offsetHours * 60 + offsetMinutes) * 60LL;
        *seconds = rest[0] == '+' ? wall - offset : wall + offset;
        return true;
    }
    if (!rest.empty())
        return false;
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;  // whether summer time applies is the system's to say
    std::time_t time = std::mktime(&local);
    if (time == static_cast<std::time_t>(-1))
        return false;
    *seconds = static_cast<long long>(time);
    return true;
}

std::vector<Record> SelectRecords(const std::vector<Record>& oldestFirst, const HistoryFilter& filter)
{
    std::vector<Record> selected;
    for (auto record = oldestFirst.rbegin(); record != oldestFirst.rend(); ++record) {
        if (!filter.board.empty() && FieldText(*record, field::kBoard) != filter.board)
            continue;
        long long seconds = 0;
        if (filter.since
            && (!ParseRecordTime(FieldText(*record, field::kTime), &seconds) || seconds < filter.sinceSeconds))
            continue;
        selected.push_back(*record);
    }
    return selected;
}

std::string CsvRow(const std::vector<std::string>& fields, char separator)
{
    const char special[] = {separator, '"', '\r', '\n', '\0'};
    std::string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        if (i > 0)
            row += separator;
        if (field.find_first_of(special) == std::string::npos) {
            row += field;
            continue;
        }
        row += '"';
        for (char c : field)
            row += c == '"' ? std::string("\"\"") : std::string(1, c);
        row += '"';
    }
    return row;
}

std::string RecordedFileName(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace torvexupdate
