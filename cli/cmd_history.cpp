#include "commands.h"
#include "exit_codes.h"
#include "history.h"
#include "history_attempts.h"
#include "module_run.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <vector>

namespace torvexctl {

namespace {

using torvexupdate::Record;

std::string Field(const Record& record, const char* key)
{
    auto found = record.find(key);
    if (found == record.end() || found->is_null())
        return "-";
    return found->is_string() ? found->get<std::string>() : found->dump();
}

// The text's width on a terminal: UTF-8 continuation bytes take no column.
std::size_t Columns(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

// The update history, newest first: a table for people, the records themselves in JSON.
int RunHistory(const Options& options, Output& out)
{
    out.Data()["command"] = "history";
    ModuleRun run(options, out);
    std::string path = torvexupdate::HistoryPath(options.historyPath, run.ModuleFolder());
    out.Data()["history"] = path;
    torvexupdate::History history = torvexupdate::ReadHistory(path);
    for (const std::string& warning : history.warnings)
        out.Note("warning: " + warning);
    if (!history.error.empty()) {
        out.Error(history.error);
        return kExitQueryFailed;
    }

    std::vector<Record> records;
    for (auto record = history.records.rbegin(); record != history.records.rend(); ++record)
        if (options.board.empty() || Field(*record, "board") == options.board)
            records.push_back(*record);
    out.Data()["records"] = records;
    if (records.empty()) {
        out.Info(options.board.empty() ? "no update recorded in " + path
                                       : "no update of board " + options.board + " recorded in " + path);
        return kExitSuccess;
    }

    // The table has one row an attempt: a started record and its outcome make one, a
    // started record alone an interrupted update.
    std::vector<Record> attempts = torvexupdate::Attempts(history.records);
    std::reverse(attempts.begin(), attempts.end());
    attempts.erase(std::remove_if(attempts.begin(), attempts.end(),
                                  [&](const Record& attempt) {
                                      return !options.board.empty() && Field(attempt, "board") != options.board;
                                  }),
                   attempts.end());

    static const char* const kKeys[] = {"time", "board", "outcome", "file", "banner_before", "banner_after"};
    std::vector<std::vector<std::string>> rows{{"TIME", "BOARD", "OUTCOME", "FILE", "BEFORE", "AFTER"}};
    for (const Record& record : attempts) {
        std::vector<std::string> row;
        for (const char* key : kKeys)
            row.push_back(Field(record, key));
        rows.push_back(row);
    }
    std::vector<std::size_t> widths(std::size(kKeys), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], Columns(row[i]));
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += row[i] + (i + 1 < row.size() ? std::string(widths[i] - Columns(row[i]) + 2, ' ') : "");
        out.Info(line);
    }
    return kExitSuccess;
}

void AddHistoryOptions(CLI::App& command, Options& options)
{
    command.add_option("--board", options.board, "only the records of the board with this reference")->type_name("REF");
}

}  // namespace torvexctl
