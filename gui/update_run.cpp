#include "update_run.h"

#include "module/log_tail.h"
#include "outcome_text.h"
#include "wide_text.h"

namespace torvexgui {

using torvexupdate::Message;
using torvexupdate::Say;

void UpdateRun::AddLine(HWND window, const std::wstring& line)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
    }
    PostMessageW(window, kRunLogLineMessage, 0, 0);
}

void UpdateRun::Start(HWND window, const std::string& utf8Path, const torvexupdate::UpdateOptions& options,
                      const torvexupdate::BoardCalls& calls, const std::string& logPath)
{
    Join();
    worker_ = std::thread([=] {
        const torvexupdate::UpdateFile file = torvexupdate::InspectFile(utf8Path);
        PostMessageW(window, kRunCheckedMessage, 0, 0);
        torvexupdate::LogTail tail(logPath);
        torvexupdate::UpdateEvents events;
        events.openBoard = [&](torvexupdate::BoardCalls* board) {
            *board = calls;
            return true;
        };
        torvexupdate::BoardAccount account;
        events.accountRead = [&](const torvexupdate::BoardAccount& read) { account = read; };
        events.boardRead = [&](const torvexupdate::BoardContent& before, bool same,
                               const std::string& writeAgainBecause) {
            AddLine(window,
                    Words(same ? Message::kWindowLogBoardBeforeSame : Message::kWindowLogBoardBefore,
                          {{"board", Utf8(BoardText(before))}}));
            if (!writeAgainBecause.empty())
                AddLine(window, Words(Message::kWindowLogWritingAgain, {{"reason", writeAgainBecause}}));
        };
        events.writing = [&] {
            // Said when the file is about to be written, which then writes it in full.
            if (account.MayBeIncomplete())
                AddLine(window,
                        Words(Message::kWindowWarning,
                              {{"warning", torvexupdate::IncompleteWords(account, Say(Message::kNextUpdateWritesInFull))}}));
            AddLine(window, Words(Message::kWindowLogDownloading, {{"path", file.path}}));
        };
        events.retrying = [&](int number, int total, int previous) {
            AddLine(window,
                    Words(Message::kWindowLogRetry,
                          {{"code", std::to_string(previous)},
                           {"number", std::to_string(number)},
                           {"total", std::to_string(total)}}));
        };
        torvexupdate::UpdateReport report = torvexupdate::RunUpdate(file, options, events);
        AddLine(window, Words(Message::kWindowLogModuleLines));
        for (const std::string& line : tail.AddedLines())
            if (!line.empty())
                AddLine(window, L"    " + Wide(line));
        {
            std::lock_guard<std::mutex> lock(mutex_);
            report_ = report;
            file_ = file;
        }
        PostMessageW(window, kRunDoneMessage, 0, 0);
    });
}

std::vector<std::wstring> UpdateRun::TakeLines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::wstring> lines;
    lines.swap(lines_);
    return lines;
}

torvexupdate::UpdateReport UpdateRun::Finish(torvexupdate::UpdateFile* file)
{
    Join();
    std::lock_guard<std::mutex> lock(mutex_);
    *file = file_;
    return report_;
}

void UpdateRun::Join()
{
    if (worker_.joinable())
        worker_.join();
}

}  // namespace torvexgui
