#include "matrix.h"

#include "hardening_paths.h"
#include "support/files.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace hardening {

namespace {

const char kBegin[] = "<!-- matrix:begin -->";
const char kEnd[] = "<!-- matrix:end -->";

// The table lines of the document (between the markers), keyed by row id.
std::map<std::string, std::string> DocumentedRows()
{
    std::map<std::string, std::string> rows;
    std::string text = testing_support::ReadFile(TORVEX_BAD_INPUT_DOC);
    std::size_t begin = text.find(kBegin);
    std::size_t end = text.find(kEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin) {
        ADD_FAILURE() << "no matrix markers in " << TORVEX_BAD_INPUT_DOC;
        return rows;
    }
    for (const std::string& line : testing_support::SplitLines(text.substr(begin, end - begin))) {
        if (line.size() < 4 || line.compare(0, 2, "| ") != 0 || line.compare(0, 4, "| Id") == 0
            || line.compare(0, 3, "|--") == 0)
            continue;
        std::string id = line.substr(2, line.find(" |", 2) - 2);
        EXPECT_TRUE(rows.emplace(id, line).second) << "row " << id << " appears twice in the document";
    }
    return rows;
}

bool Owned(const std::string& id, const std::vector<std::string>& prefixes)
{
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return id.compare(0, prefix.size(), prefix) == 0; });
}

// The builds cell of a documented line.
std::string BuildsOf(const std::string& line)
{
    std::size_t first = line.find(" | ");
    std::size_t second = line.find(" | ", first + 3);
    return line.substr(first + 3, second - first - 3);
}

}  // namespace

bool RowAppliesHere(const std::string& builds)
{
#if defined(_WIN32)
    return builds == "both" || builds == "Windows";
#else
    return builds == "both" || builds == "native";
#endif
}

std::string RenderRow(const MatrixRow& row)
{
    return "| " + row.id + " | " + row.builds + " | " + row.input + " | " + row.result + " | " + row.log + " |";
}

void ExpectDocumented(const std::vector<MatrixCase>& cases, const std::vector<std::string>& ownedPrefixes,
                      const std::string& program)
{
    std::map<std::string, std::string> documented = DocumentedRows();
    std::ostringstream rendered;
    for (const MatrixCase& each : cases) {
        std::string line = RenderRow(each.row);
        rendered << line << "\n";
        EXPECT_TRUE(Owned(each.row.id, ownedPrefixes)) << each.row.id << " is not owned by " << program;
        auto found = documented.find(each.row.id);
        if (found == documented.end())
            ADD_FAILURE() << "docs/bad-input.md lacks the row\n" << line;
        else
            EXPECT_EQ(found->second, line) << "docs/bad-input.md differs from the test for " << each.row.id;
    }
    for (const auto& [id, line] : documented) {
        if (!Owned(id, ownedPrefixes) || !RowAppliesHere(BuildsOf(line)))
            continue;
        bool tested = std::any_of(cases.begin(), cases.end(), [&](const MatrixCase& c) { return c.row.id == id; });
        EXPECT_TRUE(tested) << "docs/bad-input.md documents " << id << ", which no test of " << program << " runs";
    }
    testing_support::WriteFile(testing_support::JoinPath(TORVEX_HARDENING_BUILD_DIR, program + "-matrix.md"),
                               rendered.str());
}

namespace {

void MarkSkipped(const std::string& reason)
{
    GTEST_SKIP() << reason;
}

}  // namespace

std::string SkipRow(const std::string& reason)
{
    MarkSkipped(reason);
    return "";
}

std::string CaseName(const ::testing::TestParamInfo<MatrixCase>& info)
{
    std::string name = info.param.row.id;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

}  // namespace hardening
