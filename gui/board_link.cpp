#include "board_link.h"

#include "wide_text.h"
#include "words/messages.h"

namespace torvexgui {

bool BoardLink::Open(const std::string& modulePath, std::wstring* problem)
{
    // The same opening as torvexctl's, told in the window's words.
    session_ = std::make_unique<torvexupdate::ModuleSession>(modulePath);
    lock_ = std::make_unique<torvexupdate::BoardLock>(session_->Setting().folder);
    std::string holder;
    if (!Acquire(torvexupdate::ActivityText(torvexupdate::Activity::kReadingBoard), "", "", &holder)) {
        *problem = Wide(torvexupdate::Say(torvexupdate::Message::kWindowBoardInUseAtStart, {{"holder", holder}}));
        return false;
    }
    std::string error;
    if (!session_->Load(&error)) {
        *problem = Words(torvexupdate::Message::kWindowModuleNotLoaded, {{"error", error}});
        return false;
    }
    if (session_->Init() == 1)
        return true;
    std::string causes;
    for (const std::string& cause : session_->InitFailureCauses())
        causes += "\u2022 " + cause + "\n";
    *problem = Words(torvexupdate::Message::kWindowBoardNotReached,
                     {{"causes", causes.empty() ? "" : causes + "\n"},
                      {"module", session_->Setting().modulePath},
                      {"log", session_->LogPath()}});
    return false;
}

bool BoardLink::Acquire(const std::string& activity, const std::string& file, const std::string& updateId,
                        std::string* holderWords)
{
    torvexupdate::LockHolder me;
    me.program = "torvexgui";
    me.activity = activity;
    me.file = file;
    me.updateId = updateId;
    torvexupdate::LockHolder holder;
    std::string error;
    if (lock_->Take(me, &holder, &error) != torvexupdate::BoardLock::Result::kBusy)
        return true;  // taken, or no lock to be had on this system: go on as before there were locks
    *holderWords = torvexupdate::HolderWords(holder);
    return false;
}

void BoardLink::Release()
{
    lock_->Release();
}

std::wstring BoardLink::Reference(std::string* raw) const
{
    std::string reference = torvexupdate::ReadReference(Calls());
    if (raw != nullptr)
        *raw = reference;
    return reference.empty() ? Words(torvexupdate::Message::kWindowNotRead) : FromCp1252(reference);
}

torvexupdate::BoardContent BoardLink::Content() const
{
    return torvexupdate::ReadBoardContent(Calls());
}

}  // namespace torvexgui
