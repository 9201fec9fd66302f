#include "module/module_session.h"

namespace torvexupdate {

ModuleSession::ModuleSession(const std::string& modulePath)
{
    setting_.programFolder = ProgramFolder();
    setting_.modulePath = AbsolutePath(modulePath.empty() ? JoinPath(setting_.programFolder, "torvex.dll")
                                                          : modulePath);
    setting_.folder = HasModuleFileName(setting_.modulePath) ? FolderOf(setting_.modulePath) : setting_.programFolder;
    narrow_ = ForModule(setting_.modulePath);
    if (narrow_.usable)
        setting_.narrowPath = narrow_.bytes;
}

std::string ModuleSession::LoadName() const
{
    return narrow_.usable && narrow_.shortName ? AnsiToUtf8(narrow_.bytes) : std::string();
}

bool ModuleSession::Load(std::string* error)
{
    log_.emplace(LogPath());
    return module_.Load(setting_.modulePath, LoadName(), error);
}

int ModuleSession::Init()
{
    initCalled_ = true;
    return module_.Calls().init();
}

std::vector<std::string> ModuleSession::InitFailureCauses() const
{
    return torvexupdate::InitFailureCauses(setting_, LogLines());
}

std::vector<std::string> ModuleSession::LogLines(bool* restarted) const
{
    if (restarted != nullptr)
        *restarted = false;
    return log_ ? log_->AddedLines(restarted) : std::vector<std::string>();
}

}  // namespace torvexupdate
