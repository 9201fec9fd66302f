#include "update_run.h"

#include "log_tail.h"
#include "outcome_text.h"
#include "wide_text.h"

namespace torvexgui {

namespace {

void PostLine(HWND window, const std::wstring& line)
{
    auto* text = new std::wstring(line);
    if (!PostMessageW(window, kRunLogLineMessage, 0, reinterpret_cast<LPARAM>(text)))
        delete text;
}

}  // namespace

void UpdateRun::Start(HWND window, const torvexupdate::UpdateFile& file, const torvexupdate::UpdateOptions& options,
                      const torvexupdate::BoardCalls& calls, const std::string& logPath)
{
    Join();
    worker_ = std::thread([=] {
        torvexctl::LogTail tail(logPath);
        torvexupdate::UpdateEvents events;
        events.openBoard = [&](torvexupdate::BoardCalls* board) {
            *board = calls;
            return true;
        };
        events.boardRead = [&](const torvexupdate::BoardContent& before, bool same) {
            PostLine(window, L"Board before: " + BoardText(before) + (same ? L" (the same as the file)" : L""));
            PostLine(window, L"Downloading " + Wide(file.path) + L"\u2026");
        };
        events.retrying = [&](int number, int total, int previous) {
            PostLine(window,
                     L"Download failed (" + std::to_wstring(previous) + L"): attempt " + std::to_wstring(number)
                         + L" of " + std::to_wstring(total));
        };
        auto* report = new torvexupdate::UpdateReport(torvexupdate::RunUpdate(file, options, events));
        PostLine(window, L"Torvex.log, lines added by this run:");
        for (const std::string& line : tail.AddedLines())
            if (!line.empty())
                PostLine(window, L"    " + Wide(line));
        if (!PostMessageW(window, kRunDoneMessage, 0, reinterpret_cast<LPARAM>(report)))
            delete report;
    });
}

void UpdateRun::Join()
{
    if (worker_.joinable())
        worker_.join();
}

}  // namespace torvexgui
