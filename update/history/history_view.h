// The update history as people and spreadsheets read it: the columns a record gives (one
// table, in the order of the CSV), times in local time, the filters, CSV quoting, and who
// the operator is. Text only (UTF-8): each front end lays it out its own way.
#pragma once

#include "history/history.h"

#include <string>
#include <vector>

namespace torvexupdate {

// Environment variable that names the operator when the front end is not told.
constexpr const char* kOperatorVariable = "TORVEX_OPERATOR";

// `given` when not empty, else the TORVEX_OPERATOR environment variable ("" when unset).
std::string ChosenOperator(const std::string& given);

// One column of the history. A field added to the records gets a row in HistoryColumns().
struct HistoryColumn {
    const char* name;                    // the CSV header and the wide table's heading (column::)
    std::string (*text)(const Record&);  // its full text, as the CSV gives it; "" when the record does not say
    // How a person reads the record's text in a table or a list (an outcome's words, the
    // result in the reader's language); null: as it is.
    std::string (*forPeople)(const Record&);
};

// A column's text for a person: the column's forPeople, else its text.
std::string PeoplesText(const HistoryColumn& column, const Record& record);

// Every column, in the CSV's order: time (local, ISO 8601 with its offset), board, outcome,
// file (the whole path), size, sha256, banner before, banner after, operator, station (the
// machine's name), program, result (in words).
const std::vector<HistoryColumn>& HistoryColumns();
// The column named `name`; null when there is none.
const HistoryColumn* FindHistoryColumn(const std::string& name);

// A record's time ("2026-12-08T19:46:30Z", UTC) as seconds since 1970; false when the text
// is not such a time.
bool ParseRecordTime(const std::string& text, long long* seconds);
// Seconds since 1970 in this computer's local time, with its offset:
// "2026-12-08T20:46:30+01:00".
std::string LocalIsoTime(long long seconds);
// A date a person types: "YYYY-MM-DD", or with a time "YYYY-MM-DDTHH:MM[:SS]" (a space may
// stand for the T), in local time unless it ends with "Z" or an offset ("+01:00"). False
// when it is none of these.
bool ParseDate(const std::string& text, long long* seconds);

struct HistoryFilter {
    std::string board;  // "" for every board; else exactly this reference
    bool since = false;
    long long sinceSeconds = 0;  // with `since`: only records from this time on
};

// The records that pass the filter, newest first. With `since`, a record whose time cannot
// be read is left out.
std::vector<Record> SelectRecords(const std::vector<Record>& oldestFirst, const HistoryFilter& filter);

// One row of CSV, without its line end, its fields apart by `separator` (',' or, for
// spreadsheets whose list separator it is, ';'): a field is quoted (quotes inside doubled)
// when it holds the separator, a quote, a CR or a LF.
std::string CsvRow(const std::vector<std::string>& fields, char separator = ',');

// The last part of a recorded path, after its last '\' or '/' (whichever system wrote it).
std::string RecordedFileName(const std::string& path);

}  // namespace torvexupdate
