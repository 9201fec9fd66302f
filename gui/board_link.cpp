#include "board_link.h"

#include "module/board_state.h"
#include "wide_text.h"

namespace torvexgui {

bool BoardLink::Open(const std::string& modulePath, std::wstring* problem)
{
    // The same opening as torvexctl's, told in the window's words.
    session_ = std::make_unique<torvexupdate::ModuleSession>(modulePath);
    lock_ = std::make_unique<torvexupdate::BoardLock>(session_->Setting().folder);
    if (!Acquire("reading the board", "", "", problem)) {
        *problem += L"\n\nWait until it has finished, then start torvexgui again.";
        return false;
    }
    std::string error;
    if (!session_->Load(&error)) {
        *problem = L"The board module could not be loaded:\n\n" + Wide(error)
            + L"\n\nPut torvex.dll beside torvexgui.exe, or name it with --dll PATH.";
        return false;
    }
    if (session_->Init() == 1)
        return true;
    std::wstring causes;
    for (const std::string& cause : session_->InitFailureCauses())
        causes += L"\u2022 " + Wide(cause) + L"\n";
    *problem = L"The board module could not reach the board (initialisation failed).\n\n"
        + (causes.empty() ? L"" : causes + L"\n") + L"Check torvex.ini beside " + Wide(session_->Setting().modulePath)
        + L" (QuelvanePath in [TorvexPath]: the folder of the communication library), that the board is connected "
          L"and that no other program uses it; details are in "
        + Wide(session_->LogPath()) + L".";
    return false;
}

bool BoardLink::Acquire(const std::string& activity, const std::string& file, const std::string& updateId,
                        std::wstring* busy)
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
    *busy = L"The board is in use by another program: " + Wide(torvexupdate::HolderWords(holder))
        + L".\r\nNothing was done.";
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
    return reference.empty() ? L"(could not be read)" : FromCp1252(reference);
}

std::wstring BoardLink::Application() const
{
    torvexupdate::BoardContent content = torvexupdate::ReadBoardContent(Calls());
    if (!content.known)
        return L"(could not be read)";
    if (!content.banner)
        return L"no application in flash";
    return FromCp1252(torvexupdate::BannerLine(*content.banner));
}

}  // namespace torvexgui
