#include "history/outcome_table.h"

namespace torvexupdate {

const OutcomeRow* FindOutcomeRow(const std::string& name)
{
    for (const OutcomeRow& row : kOutcomeTable)
        if (name == row.name)
            return &row;
    return nullptr;
}

std::string OutcomeWordOf(const std::string& name)
{
    const OutcomeRow* row = FindOutcomeRow(name);
    return row != nullptr ? Say(row->word) : name;
}

}  // namespace torvexupdate
