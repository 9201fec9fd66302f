#include "commands.h"
#include "exit_codes.h"
#include "history/history_attempts.h"
#include "history/history_view.h"
#include "module/board_lock.h"
#include "module_run.h"
#include "words/for_people.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string_view>
#include <vector>

namespace torvexctl {

using namespace torvexupdate;

namespace {

using torvexupdate::HistoryColumn;
using torvexupdate::Record;

// An 80-column console: a line that fills all 80 would wrap the cursor and show an empty
// line after it, so the table keeps to 79.
constexpr std::size_t kConsoleWidth = 79;
constexpr const char* kGap = "  ";

// The characters of a UTF-8 text, one string each: a terminal gives each one column.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80 && !characters.empty())
            characters.back() += c;
        else
            characters.emplace_back(1, c);
    return characters;
}

enum class Cut { kNever, kEnd, kMiddle };

// `text` in at most `width` columns: cut at its end, or in its middle so that its start and
// its end (a file's extension, a reference's number) stay, with "…" where it was cut.
std::string Fit(const std::string& text, std::size_t width, Cut cut)
{
    std::vector<std::string> characters = Characters(text);
    if (characters.size() <= width || cut == Cut::kNever || width == 0)
        return text;
    std::size_t head = cut == Cut::kEnd ? width - 1 : (width - 1) / 2;
    std::size_t tail = width - 1 - head;
    std::string fitted;
    for (std::size_t i = 0; i < head; ++i)
        fitted += characters[i];
    fitted += "\xE2\x80\xA6";
    for (std::size_t i = characters.size() - tail; i < characters.size(); ++i)
        fitted += characters[i];
    return fitted;
}

std::string ShortTime(const std::string& iso)  // "2026-12-08T20:46:30+01:00" -> "2026-12-08 20:46"
{
    return TimeForPeople(iso, false);
}

// The console table: which columns, how each is shortened, and how it gives way while the
// table is wider than the console: the column widest for its weight is narrowed first, never
// below its floor. The board's reference weighs most (it says which board a record is
// about), then the banner (its first fields, name and version, should stay readable), then
// the file's name; a time or an outcome gives way only when it is longer than any this
// program writes.
struct ConsoleColumn {
    const char* column;                        // in HistoryColumns()
    std::string (*brief)(const std::string&);  // null: the column's text as it is
    double weight;
    std::size_t floor;
    Message heading;
    Cut cut;
};
const ConsoleColumn kConsoleColumns[] = {
    {column::kTime, ShortTime, 100, 16, Message::kHeadingConsoleTime, Cut::kEnd},
    {column::kBoard, nullptr, 3, 8, Message::kHeadingConsoleBoard, Cut::kMiddle},
    {column::kOutcome, nullptr, 100, 18, Message::kHeadingConsoleOutcome, Cut::kEnd},
    {column::kFile, torvexupdate::RecordedFileName, 1, 10, Message::kHeadingConsoleFile, Cut::kMiddle},
    {column::kBannerAfter, nullptr, 2, 12, Message::kHeadingConsoleBannerAfter, Cut::kEnd},
};

std::vector<std::vector<std::string>> Cells(const std::vector<Record>& records,
                                            const std::vector<const HistoryColumn*>& columns,
                                            std::string (*const* briefs)(const std::string&))
{
    std::vector<std::vector<std::string>> rows;
    for (const Record& record : records) {
        std::vector<std::string> row;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::string text = PeoplesText(*columns[i], record);
            if (briefs != nullptr && briefs[i] != nullptr)
                text = briefs[i](text);
            row.push_back(text.empty() ? "-" : text);
        }
        rows.push_back(row);
    }
    return rows;
}

// The rows (the headings first) aligned in columns of `widths`, each cell cut to fit.
void PrintTable(Output& out, const std::vector<std::vector<std::string>>& rows, const std::vector<std::size_t>& widths,
                const std::vector<Cut>& cuts)
{
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string cell = Fit(row[i], widths[i], cuts[i]);
            line += cell;
            if (i + 1 < row.size())
                line += std::string(widths[i] - Characters(cell).size(), ' ') + kGap;
        }
        out.Info(line);
    }
}

std::vector<std::size_t> NaturalWidths(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], Characters(row[i]).size());
    return widths;
}

void PrintConsoleTable(Output& out, const std::vector<Record>& records)
{
    std::vector<const HistoryColumn*> columns;
    std::vector<std::string (*)(const std::string&)> briefs;
    std::vector<std::string> headings;
    std::vector<Cut> cuts;
    for (const ConsoleColumn& column : kConsoleColumns) {
        columns.push_back(torvexupdate::FindHistoryColumn(column.column));
        briefs.push_back(column.brief);
        headings.push_back(Say(column.heading));
        cuts.push_back(column.cut);
    }
    std::vector<std::vector<std::string>> rows = Cells(records, columns, briefs.data());
    rows.insert(rows.begin(), headings);
    std::vector<std::size_t> widths = NaturalWidths(rows);

    std::size_t budget = kConsoleWidth - (columns.size() - 1) * std::char_traits<char>::length(kGap);
    std::size_t total = 0;
    for (std::size_t width : widths)
        total += width;
    for (; total > budget; --total) {
        std::size_t narrowed = std::size(kConsoleColumns);
        for (std::size_t i = 0; i < std::size(kConsoleColumns); ++i)
            if (widths[i] > kConsoleColumns[i].floor
                && (narrowed == std::size(kConsoleColumns)
                    || static_cast<double>(widths[i]) / kConsoleColumns[i].weight
                        > static_cast<double>(widths[narrowed]) / kConsoleColumns[narrowed].weight))
                narrowed = i;
        if (narrowed == std::size(kConsoleColumns))
            break;  // every column at its floor: 72 columns at most
        --widths[narrowed];
    }
    PrintTable(out, rows, widths, cuts);
}

// The wide table's heading of a column in the reader's language (in English its CSV name in
// capitals, spaces as "_").
std::string WideHeading(const char* name)
{
    struct ColumnHeading {
        const char* column;
        Message heading;
    };
    static constexpr ColumnHeading kHeadings[] = {
        {column::kTime, Message::kHeadingWideTime},
        {column::kBoard, Message::kHeadingWideBoard},
        {column::kOutcome, Message::kHeadingWideOutcome},
        {column::kFile, Message::kHeadingWideFile},
        {column::kSize, Message::kHeadingWideSize},
        {column::kSha256, Message::kHeadingWideSha256},
        {column::kBannerBefore, Message::kHeadingWideBannerBefore},
        {column::kBannerAfter, Message::kHeadingWideBannerAfter},
        {column::kOperator, Message::kHeadingWideOperator},
        {column::kStation, Message::kHeadingWideStation},
        {column::kProgram, Message::kHeadingWideProgram},
        {column::kResult, Message::kHeadingWideResult},
    };
    for (const auto& [columnName, heading] : kHeadings)
        if (std::string_view(columnName) == name)
            return Say(heading);
    std::string heading = name;  // a column added without a heading of its own
    std::transform(heading.begin(), heading.end(), heading.begin(), [](char c) { return c == ' ' ? '_' : c; });
    std::transform(heading.begin(), heading.end(), heading.begin(), ::toupper);
    return heading;
}

void PrintWideTable(Output& out, const std::vector<Record>& records)
{
    std::vector<const HistoryColumn*> columns;
    std::vector<std::string> headings;
    for (const HistoryColumn& column : torvexupdate::HistoryColumns()) {
        columns.push_back(&column);
        headings.push_back(WideHeading(column.name));
    }
    std::vector<std::vector<std::string>> rows = Cells(records, columns, nullptr);
    rows.insert(rows.begin(), headings);
    PrintTable(out, rows, NaturalWidths(rows), std::vector<Cut>(columns.size(), Cut::kNever));
}

// CSV for a spreadsheet: a header row, then one row per record. UTF-8, led by a byte order
// mark, without which spreadsheets on Windows take the text for the ANSI code page.
void PrintCsv(Output& out, const std::vector<Record>& records, char separator)
{
    std::vector<std::string> header;
    for (const HistoryColumn& column : torvexupdate::HistoryColumns())
        header.push_back(column.name);
    out.Info("\xEF\xBB\xBF" + torvexupdate::CsvRow(header, separator));
    for (const Record& record : records) {
        std::vector<std::string> fields;
        for (const HistoryColumn& column : torvexupdate::HistoryColumns())
            fields.push_back(column.text(record));
        out.Info(torvexupdate::CsvRow(fields, separator));
    }
}

}  // namespace

// The update history, newest first: a table for people (the console's 80 columns, or every
// column with --wide), CSV for spreadsheets, the records themselves in JSON.
int RunHistory(const Options& options, Output& out)
{
    out.Data()["command"] = "history";
    torvexupdate::HistoryFilter filter;
    filter.board = options.board;
    if (!options.since.empty()) {
        filter.since = torvexupdate::ParseDate(options.since, &filter.sinceSeconds);
        if (!filter.since) {
            out.Error(Say(Message::kConsoleSinceNotDate, {{"since", options.since}}));
            return kExitUsage;
        }
    }
    ModuleRun run(options, out);
    std::string path = torvexupdate::HistoryPath(options.historyPath, run.ModuleFolder());
    out.Data()["history"] = path;
    torvexupdate::History history = torvexupdate::ReadHistory(path);
    for (const std::string& warning : history.warnings)
        out.Note(Say(Message::kConsoleWarning, {{"message", warning}}));
    if (!history.error.empty()) {
        out.Error(history.error);
        return kExitQueryFailed;
    }

    // The JSON keeps every record as stored, started and outcome alike, and the attempts;
    // the tables and the CSV show one row an attempt. A started record with no outcome is
    // an update running when the board lock's holder runs it, else an interrupted one.
    torvexupdate::BoardLock lock(run.ModuleFolder());
    std::vector<Record> records = torvexupdate::SelectRecords(torvexupdate::Attempts(history.records, lock.Holder()),
                                                              filter);
    out.Data()["records"] = torvexupdate::SelectRecords(history.records, filter);
    out.Data()["attempts"] = records;
    if (options.csv) {
        PrintCsv(out, records, options.separator[0]);
        return kExitSuccess;
    }
    if (records.empty()) {
        Message none = options.board.empty()
            ? (filter.since ? Message::kConsoleHistoryNoneSince : Message::kConsoleHistoryNone)
            : (filter.since ? Message::kConsoleHistoryNoneBoardSince : Message::kConsoleHistoryNoneBoard);
        out.Info(Say(none, {{"board", options.board}, {"since", options.since}, {"path", path}}));
        return kExitSuccess;
    }
    if (options.wide)
        PrintWideTable(out, records);
    else
        PrintConsoleTable(out, records);
    return kExitSuccess;
}

void AddHistoryOptions(CLI::App& command, Options& options)
{
    command.add_option("--board", options.board, Say(Message::kHelpHistoryBoard))->type_name("REF");
    command.add_option("--since", options.since, Say(Message::kHelpHistorySince))->type_name("DATE");
    CLI::Option* wide = command.add_flag("--wide", options.wide, Say(Message::kHelpHistoryWide));
    CLI::Option* csv = command.add_flag("--csv", options.csv, Say(Message::kHelpHistoryCsv))->excludes(wide);
    command.add_option("--separator", options.separator, Say(Message::kHelpHistorySeparator))
        ->type_name("SEP")
        ->check(CLI::IsMember({",", ";"}))
        ->needs(csv);
}

}  // namespace torvexctl
