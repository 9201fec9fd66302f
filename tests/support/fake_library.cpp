#include "support/fake_library.h"

#include "link/module_init.h"
#include "log/trace_log.h"

#include <algorithm>
#include <cstring>

namespace fake_library {

Script script;
std::vector<SendCall> sendCalls;
std::vector<GetResultCall> getResultCalls;

namespace {

Bytes Raw(const void* record, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    return Bytes(bytes, bytes + size);
}

std::uint32_t Little32(const Bytes& bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) | static_cast<std::uint32_t>(bytes[offset + 1]) << 8
        | static_cast<std::uint32_t>(bytes[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

int LIBRARY_CALL FakeSendCommand(int, CommandRequest* request, CommandStatus* status, char* payload)
{
    SendCall call;
    call.code = request->code;
    call.payloadNull = payload == nullptr;
    if (script.recordBytes) {
        call.request = Raw(request, 12);
        call.status = Raw(status, 8);
        if (payload != nullptr)
            call.payload = Raw(payload, Little32(call.request, 8));
    }
    sendCalls.push_back(call);

    SendAnswer answer = script.defaultSend;
    if (!script.sends.empty()) {
        answer = script.sends.front();
        script.sends.pop_front();
    }
    if (answer.fillStatus) {
        // Written byte by byte, little-endian, as the library's record format says.
        auto* bytes = reinterpret_cast<std::uint8_t*>(status);
        const std::uint32_t fields[3] = {answer.general, answer.com, answer.replyLength};
        const std::size_t offsets[3] = {0, 2, 4};
        const std::size_t widths[3] = {2, 2, 4};
        for (int f = 0; f < 3; ++f)
            for (std::size_t b = 0; b < widths[f]; ++b)
                bytes[offsets[f] + b] = static_cast<std::uint8_t>(fields[f] >> (8 * b));
    }
    return answer.result;
}

int LIBRARY_CALL FakeGetResult(int zero, std::uint32_t replyLength, char* reply, CompteRendu* report)
{
    GetResultCall call;
    call.zero = zero;
    call.replyLength = replyLength;
    call.bufferNull = reply == nullptr;
    if (script.recordBytes) {
        if (reply != nullptr)
            call.buffer = Raw(reply, replyLength + 1UL);
        if (report != nullptr)
            call.report = Raw(report, sizeof *report);
    }
    getResultCalls.push_back(call);
    if (reply != nullptr) {
        if (script.replyFill >= 0)
            std::memset(reply, script.replyFill, replyLength);
        if (!script.reply.empty())
            std::memcpy(reply, script.reply.data(), std::min<std::size_t>(script.reply.size(), replyLength));
    }
    return script.getResultReturn;
}

int LIBRARY_CALL HealthyCreateRouter()
{
    return 1;
}

int LIBRARY_CALL HealthyInitialiseCommBoard(CompteRendu*)
{
    return 1;
}

int LIBRARY_CALL HealthyOpenCommSession(CompteRendu* session, unsigned char*)
{
    *session = CompteRendu{0, 3, 0};
    return 1;
}

int LIBRARY_CALL HealthyCloseCommSession(CompteRendu*)
{
    return 1;
}

int LIBRARY_CALL HealthyBoardGetInfo(int, int, char*, int, CompteRendu*)
{
    return 0;
}

int LIBRARY_CALL HealthyCleanupZR()
{
    return 1;
}

int LIBRARY_CALL HealthyGetCommSessions(void*, int, std::uint32_t* count)
{
    *count = 0;
    return 1;
}

}  // namespace

SendAnswer Status(int result, std::uint16_t general, std::uint16_t com, std::uint32_t replyLength)
{
    return SendAnswer{result, true, general, com, replyLength};
}

void Install()
{
    script = Script();
    sendCalls.clear();
    getResultCalls.clear();
#define CLEAR_ENTRY_POINT(name, type) name = nullptr;
    TORVEX_ENTRY_POINTS(CLEAR_ENTRY_POINT)
#undef CLEAR_ENTRY_POINT
    _SendCommand = &FakeSendCommand;
    _GetResult = &FakeGetResult;
}

void InstallAll()
{
    Install();
    script.defaultSend = Status(1, 0, 3);
    script.getResultReturn = 7;
    script.replyFill = 'R';
    script.recordBytes = false;
    sendCalls.reserve(64);
    getResultCalls.reserve(64);
    _CreateRouter = &HealthyCreateRouter;
    _InitialiseCommBoard_Exp = &HealthyInitialiseCommBoard;
    _OpenCommSession = &HealthyOpenCommSession;
    _CloseCommSession = &HealthyCloseCommSession;
    _BoardGetInfo = &HealthyBoardGetInfo;
    _CleanupZR = &HealthyCleanupZR;
    _GetCommSessions = &HealthyGetCommSessions;
}

std::vector<std::uint8_t> SentCodes()
{
    std::vector<std::uint8_t> codes;
    for (const SendCall& call : sendCalls)
        codes.push_back(call.code);
    return codes;
}

std::vector<std::uint32_t> FetchLengths()
{
    std::vector<std::uint32_t> lengths;
    for (const GetResultCall& call : getResultCalls)
        lengths.push_back(call.replyLength);
    return lengths;
}

Bytes Of(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

Bytes Request(int code, std::uint32_t timeout, std::uint32_t length)
{
    Bytes bytes = Of({0x00, code, 0xAA});
    for (std::uint32_t value : {timeout, length})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return bytes;
}

Bytes WithoutPadding(Bytes request)
{
    request.erase(request.begin() + 3);
    return request;
}

}  // namespace fake_library

void FakeLibraryTest::SetUp()
{
    fake_library::Install();
    g_bINIT = 0;
    g_bROUTER = 0;
    logPath_ = scratch_.File("Torvex.log");
    ASSERT_LT(logPath_.size(), sizeof g_TorvexLogPath);
    std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
    std::memcpy(g_TorvexLogPath, logPath_.c_str(), logPath_.size());
}

void FakeLibraryTest::TearDown()
{
    std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
}
