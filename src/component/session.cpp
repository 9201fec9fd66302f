#include "component/session.h"

#include "log/trace_log.h"

bool OpenOperationSession(CompteRendu& session, unsigned char& sessionFlag)
{
    if (_OpenCommSession != nullptr && _OpenCommSession(&session, &sessionFlag) > 0)
        return true;
    LogReport("OpenCommSession NOK", session.com, session.general);
    return false;
}

void CloseOperationSession(CompteRendu& session)
{
    if (_CloseCommSession != nullptr)
        _CloseCommSession(&session);
}

void LogOperationEnd(const char* exitLine)
{
    WriteStringToLog(exitLine);
    WriteStringToLog(kSeparatorLine);
}
