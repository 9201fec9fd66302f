#include "link/library_contract.h"
#include "link/module_init.h"
#include "log/trace_log.h"

#include <cstdlib>

namespace {

enum class Sessions { Free, Occupied, Unchecked };

// Whether the library reports one of its sessions in use. The scan stops at the first
// occupied entry, after `count` entries, or after the 20 the table holds.
Sessions InterfaceSessions()
{
    if (_GetCommSessions == nullptr)
        return Sessions::Free;  // a library that cannot list its sessions is taken as idle
    auto* table = static_cast<unsigned char*>(std::calloc(1, kSessionTableSize));
    if (table == nullptr)
        return Sessions::Unchecked;  // cannot check: do not claim the interface
    std::uint32_t count = 0;
    _GetCommSessions(table, static_cast<int>(kSessionTableSize), &count);
    bool occupied = false;
    for (std::uint32_t i = 0; i < count && i < kSessionEntryCount && !occupied; ++i)
        occupied = SessionOccupied(table + i * kSessionEntrySize) != 0;
    std::free(table);
    return occupied ? Sessions::Occupied : Sessions::Free;
}

}  // namespace

int Init_Com(void)
{
    WriteStringToLog("\nEntre Init_Com\n");
    int result = 1;
    unsigned char sessionFlag = 0;
    if (_CreateRouter == nullptr)
        return 0;

    if (g_bROUTER == 0) {
        Sessions sessions = InterfaceSessions();
        if (sessions == Sessions::Occupied) {
            WriteStringToLog("WARNING VCI OCCUPED !!!! \n");
            result = 0;
        } else if (sessions == Sessions::Unchecked) {
            WriteStringToLog("WARNING VCI NOT CHECKED: no memory for the session table\n");
            result = 0;
        } else if (_CreateRouter() != 0) {
            WriteStringToLog("_CreateRouter OK\n");
            g_bROUTER = 1;
        } else {
            WriteStringToLog("_CreateRouter KO\n");
            result = 0;
        }
    }

    if (_OpenCommSession == nullptr || _InitialiseCommBoard_Exp == nullptr)
        return 0;

    if (g_bROUTER == 1 && g_bINIT == 0) {
        CompteRendu session = {};
        if (_OpenCommSession(&session, &sessionFlag) > 0) {
            if (_InitialiseCommBoard_Exp(&session) == 0)
                result = 0;
            LogReport("_InitialiseCommBoard_Exp", session.com, session.general);
            if (_CloseCommSession != nullptr)
                _CloseCommSession(&session);
        } else {
            LogReport("_OpenCommSession NOK", session.com, session.general);
            result = 0;
        }
    }

    WriteStringToLog("Sort Init_Com\n");
    return result;
}
