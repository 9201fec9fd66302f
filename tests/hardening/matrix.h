// The bad-input matrix: each row names one hostile input, the build it applies to and
// the outcome the module shows. The rows live here, in the tests that assert them, and
// docs/bad-input.md carries the same table; a test compares the two so that the
// document cannot drift from what the module does.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace hardening {

struct MatrixRow {
    std::string id;      // unique, e.g. "INI-256"; the test's name with '-' as '_'
    std::string builds;  // "both", "native" or "Windows"
    std::string input;   // the hostile input
    std::string result;  // what the run returns when the module behaves as documented
    std::string log;     // what the log shows, and what stays in bounds
};

// A row and how to run it. `run` performs the row's own checks of log, journal and
// buffers and returns the observed result, which must equal `row.result`.
struct MatrixCase {
    MatrixRow row;
    std::function<std::string()> run;
};

// Test parameters print as their row id.
inline void PrintTo(const MatrixCase& each, std::ostream* out)
{
    *out << each.row.id;
}

// True when `builds` covers the build these tests were compiled for.
bool RowAppliesHere(const std::string& builds);

// The Markdown line of a row: "| id | builds | input | result | log |".
std::string RenderRow(const MatrixRow& row);

// Checks that docs/bad-input.md holds exactly these rows among those whose id begins with
// one of `ownedPrefixes` and that apply to this build, and writes the rendered rows to
// `<build>/tests/hardening/<program>-matrix.md` for regenerating the document.
void ExpectDocumented(const std::vector<MatrixCase>& cases, const std::vector<std::string>& ownedPrefixes,
                      const std::string& program);

// Marks the running test skipped, for an input this system cannot present; returns "".
std::string SkipRow(const std::string& reason);

// The test name of a case: its id with '-' replaced by '_'.
std::string CaseName(const ::testing::TestParamInfo<MatrixCase>& info);

}  // namespace hardening
