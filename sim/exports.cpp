// The nine exported entry points, plain cdecl with C names.
//
// Each one only serialises the call and forwards to the board behaviour. Test
// builds that must lack an entry point define QUELVANE_SIM_WITHOUT_<name>
// (name without its leading underscore), or QUELVANE_SIM_WITHOUT_ALL to export
// none; the function is then not compiled at all.
#include "board.h"

#include "export_attribute.h"
#include "platform/sim_platform.h"

namespace {

// One call at a time: the pending reply and the state files are shared, and a host
// driving the board from several threads must not interleave them.
class CallLock {
public:
    CallLock() { qsim::LockCalls(); }
    ~CallLock() { qsim::UnlockCalls(); }
    CallLock(const CallLock&) = delete;
    CallLock& operator=(const CallLock&) = delete;
};

}  // namespace

using qsim::CommandRequest;
using qsim::CommandStatus;
using qsim::CompteRendu;

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_CreateRouter)
QUELVANE_SIM_EXPORT int _CreateRouter()
{
    CallLock lock;
    return qsim::CreateRouter();
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_InitialiseCommBoard_Exp)
QUELVANE_SIM_EXPORT int _InitialiseCommBoard_Exp(CompteRendu* report)
{
    CallLock lock;
    return qsim::InitialiseCommBoard(report);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_SendCommand)
QUELVANE_SIM_EXPORT int _SendCommand(int32_t arg, CommandRequest* request, CommandStatus* status, const char* payload)
{
    CallLock lock;
    return qsim::SendCommand(arg, request, status, payload);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_GetResult)
QUELVANE_SIM_EXPORT int _GetResult(int32_t arg, uint32_t length, char* destination, CompteRendu* report)
{
    CallLock lock;
    return qsim::GetResult(arg, length, destination, report);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_OpenCommSession)
QUELVANE_SIM_EXPORT int _OpenCommSession(CompteRendu* report, unsigned char* sessionFlag)
{
    CallLock lock;
    return qsim::OpenCommSession(report, sessionFlag);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_CloseCommSession)
QUELVANE_SIM_EXPORT int _CloseCommSession(CompteRendu* report)
{
    CallLock lock;
    return qsim::CloseCommSession(report);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_BoardGetInfo)
QUELVANE_SIM_EXPORT int _BoardGetInfo(int32_t arg0, int32_t arg1, char* buffer, int32_t length, CompteRendu* report)
{
    CallLock lock;
    return qsim::BoardGetInfo(arg0, arg1, buffer, length, report);
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_CleanupZR)
QUELVANE_SIM_EXPORT int _CleanupZR()
{
    CallLock lock;
    return qsim::Cleanup();
}
#endif

#if !defined(QUELVANE_SIM_WITHOUT_ALL) && !defined(QUELVANE_SIM_WITHOUT_GetCommSessions)
QUELVANE_SIM_EXPORT int _GetCommSessions(void* table, int32_t size, uint32_t* count)
{
    CallLock lock;
    return qsim::GetCommSessions(table, size, count);
}
#endif
