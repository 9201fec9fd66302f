#include "history/record_schema.h"

namespace torvexupdate {

namespace {

const Record* Member(const Record& record, const char* name)
{
    if (!record.is_object())
        return nullptr;
    auto found = record.find(name);
    return found == record.end() ? nullptr : &*found;
}

}  // namespace

std::string FieldText(const Record& record, const char* name)
{
    const Record* value = Member(record, name);
    return value != nullptr && value->is_string() ? value->get<std::string>() : std::string();
}

std::optional<long long> FieldNumber(const Record& record, const char* name)
{
    const Record* value = Member(record, name);
    if (value == nullptr || !value->is_number_integer())
        return std::nullopt;
    return value->get<long long>();
}

const Record* FieldObject(const Record& record, const char* name)
{
    const Record* value = Member(record, name);
    return value != nullptr && value->is_object() ? value : nullptr;
}

bool FieldFlag(const Record& record, const char* name)
{
    const Record* value = Member(record, name);
    return value != nullptr && value->is_boolean() && value->get<bool>();
}

std::vector<std::string> FieldTexts(const Record& record, const char* name)
{
    std::vector<std::string> texts;
    const Record* value = Member(record, name);
    if (value != nullptr && value->is_array())
        for (const Record& member : *value)
            if (member.is_string())
                texts.push_back(member.get<std::string>());
    return texts;
}

}  // namespace torvexupdate
