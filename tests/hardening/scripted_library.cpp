#include "scripted_library.h"

#include "link/module_init.h"
#include "log/trace_log.h"

#include <cstring>

namespace scripted_library {

Answers answers;
std::vector<std::uint8_t> sentCodes;
std::vector<std::uint32_t> fetchLengths;

namespace {

int LIBRARY_CALL CreateRouter()
{
    return 1;
}

int LIBRARY_CALL InitialiseCommBoard(CompteRendu*)
{
    return 1;
}

int LIBRARY_CALL SendCommand(int, CommandRequest* request, CommandStatus* status, char*)
{
    sentCodes.push_back(request->code);
    status->general = answers.general;
    status->com = answers.com;
    status->replyLength = answers.replyLength;
    return answers.sendResult;
}

int LIBRARY_CALL GetResult(int, std::uint32_t length, char* reply, CompteRendu*)
{
    fetchLengths.push_back(length);
    if (reply != nullptr)
        std::memset(reply, answers.replyByte, length);
    return answers.getResultReturn;
}

int LIBRARY_CALL OpenCommSession(CompteRendu* session, unsigned char*)
{
    *session = CompteRendu{0, 3, 0};
    return 1;
}

int LIBRARY_CALL CloseCommSession(CompteRendu*)
{
    return 1;
}

int LIBRARY_CALL BoardGetInfo(int, int, char*, int, CompteRendu*)
{
    return 0;
}

int LIBRARY_CALL CleanupZR()
{
    return 1;
}

int LIBRARY_CALL GetCommSessions(void*, int, std::uint32_t* count)
{
    *count = 0;
    return 1;
}

}  // namespace

void Install()
{
    answers = Answers();
    sentCodes.clear();
    fetchLengths.clear();
    // Room enough that recording a call never allocates while the heap is being counted.
    sentCodes.reserve(64);
    fetchLengths.reserve(64);
    _CreateRouter = &CreateRouter;
    _InitialiseCommBoard_Exp = &InitialiseCommBoard;
    _SendCommand = &SendCommand;
    _GetResult = &GetResult;
    _OpenCommSession = &OpenCommSession;
    _CloseCommSession = &CloseCommSession;
    _BoardGetInfo = &BoardGetInfo;
    _CleanupZR = &CleanupZR;
    _GetCommSessions = &GetCommSessions;
}

}  // namespace scripted_library

void ScriptedLibraryTest::SetUp()
{
    scripted_library::Install();
    g_bINIT = 0;
    g_bROUTER = 0;
    logPath_ = scratch_.File("Torvex.log");
    ASSERT_LT(logPath_.size(), sizeof g_TorvexLogPath);
    std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
    std::memcpy(g_TorvexLogPath, logPath_.c_str(), logPath_.size());
}

void ScriptedLibraryTest::TearDown()
{
    std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
}
