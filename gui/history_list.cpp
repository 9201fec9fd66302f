#include "history_list.h"

#include "control_ids.h"
#include "history/history.h"
#include "history/history_attempts.h"
#include "history/history_view.h"
#include "wide_text.h"
#include "words/for_people.h"

#include <commctrl.h>

#include <algorithm>

namespace torvexgui {

namespace {

using namespace torvexupdate;

constexpr std::size_t kHistoryShown = 1000;

// "2026-12-08T20:46:30+01:00" (local, as the history's time column gives it) -> "2026-12-08 20:46:30",
// "08/12/2026 20:46:30" in French.
std::string ListTime(const std::string& iso)
{
    return TimeForPeople(iso, true);
}

// The list's columns: the history's own (history_view.h) as people read them, some shortened.
struct ListColumn {
    Message heading;
    const char* column;
    std::string (*shown)(const std::string&);  // null: the column's text as it is
};
const ListColumn kListColumns[] = {
    {Message::kHeadingTime, column::kTime, ListTime},
    {Message::kHeadingBoard, column::kBoard, nullptr},
    {Message::kHeadingOutcome, column::kOutcome, nullptr},
    {Message::kHeadingFile, column::kFile, RecordedFileName},
    {Message::kHeadingOperator, column::kOperator, nullptr},
    {Message::kHeadingBannerAfter, column::kBannerAfter, nullptr},
};

// What the note under the list says: a damaged file, an empty history, how much is shown.
std::wstring NoteOn(const History& history, std::size_t attempts, const std::string& historyPath)
{
    if (!history.error.empty())
        return Wide(history.error);
    if (!history.warnings.empty())
        return Words(
            Message::kWindowHistoryDamaged,
            {{"count", NumberForPeople(static_cast<long long>(history.warnings.size()))}, {"path", historyPath}});
    if (history.records.empty())
        return Words(Message::kWindowHistoryEmpty, {{"path", historyPath}});
    if (attempts > kHistoryShown)
        return Words(Message::kWindowHistoryNewest,
                     {{"shown", NumberForPeople(static_cast<long long>(kHistoryShown))},
                      {"count", NumberForPeople(static_cast<long long>(attempts))}});
    return L"";
}

}  // namespace

void HistoryList::Attach(HWND dialog)
{
    dialog_ = dialog;
    HWND list = GetDlgItem(dialog_, IDC_HISTORY);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_SUBITEM;
        std::wstring heading = Words(kListColumns[i].heading);
        column.pszText = &heading[0];
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
}

void HistoryList::Show(const std::string& historyPath, const std::optional<LockHolder>& holder)
{
    HWND list = GetDlgItem(dialog_, IDC_HISTORY);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    rows_.clear();
    // The headings in the language chosen (it may have changed since the list was made).
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        std::wstring heading = Words(kListColumns[i].heading);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = &heading[0];
        SendMessageW(list, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    }
    History history = ReadHistory(historyPath);
    // One row an attempt: a started record without its outcome shows as running or interrupted.
    std::vector<Record> attempts = Attempts(history.records, holder);
    for (std::size_t shown = 0; shown < kHistoryShown && shown < attempts.size(); ++shown) {
        const Record& record = attempts[attempts.size() - 1 - shown];
        Row row;
        for (const ListColumn& column : kListColumns) {
            std::string text = PeoplesText(*FindHistoryColumn(column.column), record);
            row.cells.push_back(Wide(column.shown != nullptr ? column.shown(text) : text));
        }
        if (!ParseRecordTime(FieldText(record, field::kTime), &row.time))
            row.time = -1;
        rows_.push_back(row);

        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(shown);
        item.lParam = static_cast<LPARAM>(shown);
        item.pszText = const_cast<wchar_t*>(rows_.back().cells[0].c_str());
        int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int i = 1; i < static_cast<int>(std::size(kListColumns)); ++i) {
            LVITEMW cell = {};
            cell.iSubItem = i;
            cell.pszText = const_cast<wchar_t*>(rows_.back().cells[static_cast<std::size_t>(i)].c_str());
            SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
        }
    }
    Sort();
    // Each column as wide as its widest text or its heading (with room for the sort arrow).
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), LVSCW_AUTOSIZE);
        LRESULT content = rows_.empty() ? 0 : SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0);
        std::wstring words = Words(kListColumns[i].heading);
        LRESULT heading = SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(words.c_str()))
            + 2 * GetSystemMetrics(SM_CXSMICON);
        SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), std::max(content, heading));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetDlgItemTextW(dialog_, IDC_HISTORY_NOTE, NoteOn(history, attempts.size(), historyPath).c_str());
}

// Times start newest first, words from A.
void HistoryList::SortBy(int column)
{
    sortAscending_ = column == sortColumn_ ? !sortAscending_ : column != 0;
    sortColumn_ = column;
    Sort();
}

int CALLBACK HistoryList::Compare(LPARAM first, LPARAM second, LPARAM self)
{
    const HistoryList& list = *reinterpret_cast<const HistoryList*>(self);
    const Row& a = list.rows_[static_cast<std::size_t>(first)];
    const Row& b = list.rows_[static_cast<std::size_t>(second)];
    int order = list.sortColumn_ == 0
        ? (a.time < b.time       ? -1
               : a.time > b.time ? 1
                                 : 0)
        : CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.cells[list.sortColumn_].c_str(), -1,
                         b.cells[list.sortColumn_].c_str(), -1)
            - CSTR_EQUAL;
    if (order == 0)
        order = a.time < b.time ? 1 : a.time > b.time ? -1 : 0;  // then newest first
    else if (!list.sortAscending_)
        order = -order;
    return order;
}

// Sorts the list by its sort column, and marks that column's heading.
void HistoryList::Sort()
{
    HWND list = GetDlgItem(dialog_, IDC_HISTORY);
    SendMessageW(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(Compare));
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < static_cast<int>(std::size(kListColumns)); ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == sortColumn_)
            item.fmt |= sortAscending_ ? HDF_SORTUP : HDF_SORTDOWN;
        SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace torvexgui
