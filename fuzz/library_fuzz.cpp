// Fuzzes the module against a hostile communication library. The module's objects are
// linked in; every entry point is an in-process fake whose every answer comes from the
// fuzzer's input: which entry points exist, return values, the report and status
// records, reply lengths and bytes, the board reference (its length and termination),
// the session table and its count. The input also chooses the operations to run, the
// application file, the host's buffers and the EEPROM bytes.
//
// Checked on every run, besides what AddressSanitizer and UndefinedBehaviorSanitizer
// catch: each result lies in the set its operation documents; the library is called only
// as its contract allows (sessions opened and closed in pairs, commands only inside one,
// request and status records as the module must fill them); no fetch asks for more than
// the buffer it writes into can hold (the version fetch never more than
// TORVEX_VERSION_BUFFER_SIZE); and no line of the log is longer than the module's
// 255-byte message buffer allows.
#include "board/command.h"
#include "board/eeprom_flags.h"
#include "link/library_contract.h"
#include "link/module_init.h"
#include "log/trace_log.h"
#include "torvex.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void Check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "library_fuzz: %s\n", what);
        std::abort();
    }
}

enum class Operation { InitCom, InitModule, Download, Version, Reference, Clean, ReadFlag, WriteFlag, TestFlag };

// What the current run has told the module and what the module has asked for.
struct Run {
    FuzzedDataProvider* input = nullptr;
    Operation operation = Operation::InitCom;
    bool inSession = false;
    CompteRendu* sessionRecord = nullptr;
    // Per operation: the values the library returned, for checking the result.
    bool downloadSent = false;
    int downloadReturn = 0;
    std::vector<int> sendReturns;
    std::vector<int> fetchReturns;
    std::uint32_t announced = 0;  // replyLength of the last command
    bool fetched = false;
    // The host's reference buffer as the host stated it.
    char* referenceBuffer = nullptr;
    int referenceLength = 0;
    long long applicationSize = -1;
};

Run run;

const int kInterestingResults[] = {0, 1, -1, 2, 5, 0x7FFFFFFF, -0x7FFFFFFF - 1};
const std::uint16_t kInterestingComs[] = {3, 1, 37, 19, 48, 50, 51, 0, 2, 0xFFFF};
const std::uint32_t kInterestingLengths[] = {0, 1, 47, 48, 49, 65536, 65537, 0x7FFFFFFF, 0xFFFFFFFF};

int Result()
{
    if (run.input->ConsumeBool())
        return run.input->PickValueInArray(kInterestingResults);
    return run.input->ConsumeIntegral<int>();
}

void FillReport(CompteRendu* report)
{
    if (report == nullptr || run.input->ConsumeBool())
        return;  // left as the module handed it over
    report->general = run.input->ConsumeIntegral<std::int32_t>();
    report->com = run.input->ConsumeIntegral<std::int32_t>();
    report->aux = run.input->ConsumeIntegral<std::int32_t>();
}

// Writes `length` bytes: fuzz bytes first, then a filler byte.
void WriteReply(char* destination, std::size_t length)
{
    std::string bytes = run.input->ConsumeBytesAsString(length);
    std::memcpy(destination, bytes.data(), bytes.size());
    if (bytes.size() < length)
        std::memset(destination + bytes.size(), run.input->ConsumeIntegral<char>(), length - bytes.size());
}

int LIBRARY_CALL FakeCreateRouter()
{
    Check(!run.inSession, "_CreateRouter inside a session");
    return Result();
}

int LIBRARY_CALL FakeInitialiseCommBoard(CompteRendu* session)
{
    Check(run.inSession && session == run.sessionRecord, "_InitialiseCommBoard_Exp outside its session's record");
    FillReport(session);
    return Result();
}

int LIBRARY_CALL FakeSendCommand(int zero, CommandRequest* request, CommandStatus* status, char* payload)
{
    Check(run.inSession, "_SendCommand outside a session");
    Check(zero == 0 && request != nullptr && status != nullptr, "_SendCommand arguments");
    Check(request->prefix == 0x00 && request->tag == 0xAA, "request prefix or tag");
    const std::uint8_t code = request->code;
    Check(code == kCmdResetBoard || code == kCmdReadFlagEeprom || code == kCmdWriteFlagEeprom
              || code == kCmdStartApplication || code == kCmdDownload || code == kCmdComponentVersion,
          "unknown command code");
    Check(request->timeout == (code == kCmdDownload ? kDownloadTimeout : kCommandTimeout), "request timeout");
    Check(status->general == 0 && status->com == 3 && status->replyLength == 0, "status not preset");
    if (code == kCmdDownload)
        Check(static_cast<long long>(request->length) == run.applicationSize, "download length is not the file's size");
    if (request->length > 0) {
        Check(payload != nullptr, "a payload length without a payload");
        unsigned sum = 0;  // every byte the module says it passes must be readable
        for (std::uint32_t i = 0; i < request->length; ++i)
            sum += static_cast<unsigned char>(payload[i]);
        (void)sum;
    }
    if (run.input->ConsumeBool()) {
        status->general = run.input->ConsumeBool() ? 0 : run.input->ConsumeIntegral<std::uint16_t>();
        status->com = run.input->ConsumeBool() ? run.input->PickValueInArray(kInterestingComs)
                                               : run.input->ConsumeIntegral<std::uint16_t>();
        status->replyLength = run.input->ConsumeBool() ? run.input->PickValueInArray(kInterestingLengths)
                                                       : run.input->ConsumeIntegral<std::uint32_t>();
    }
    run.announced = status->replyLength;
    int result = Result();
    run.sendReturns.push_back(result);
    if (code == kCmdDownload) {
        run.downloadSent = true;
        run.downloadReturn = result;
    }
    return result;
}

int LIBRARY_CALL FakeGetResult(int zero, std::uint32_t length, char* reply, CompteRendu* report)
{
    Check(run.inSession, "_GetResult outside a session");
    Check(zero == 0 && reply != nullptr && report != nullptr, "_GetResult arguments");
    if (run.operation != Operation::Version)
        Check(report->general == 0 && report->com == 3 && report->aux == 0, "report not preset");
    Check(length != 0 && length <= run.announced, "fetch of more than the board announced");
    if (run.operation == Operation::Version)
        Check(length <= TORVEX_VERSION_BUFFER_SIZE, "version fetch larger than the host's buffer");
    else
        Check(length == run.announced && length <= kMaxFlagReplyLength, "EEPROM fetch of another length");
    WriteReply(reply, length);
    FillReport(report);
    run.fetched = true;
    int result = Result();
    run.fetchReturns.push_back(result);
    return result;
}

int LIBRARY_CALL FakeOpenCommSession(CompteRendu* session, unsigned char* sessionFlag)
{
    Check(!run.inSession, "a session opened inside another");
    Check(session != nullptr && sessionFlag != nullptr, "_OpenCommSession arguments");
    FillReport(session);
    *sessionFlag = run.input->ConsumeIntegral<unsigned char>();
    int result = Result();
    if (result > 0) {
        run.inSession = true;
        run.sessionRecord = session;
    }
    return result;
}

int LIBRARY_CALL FakeCloseCommSession(CompteRendu* session)
{
    Check(run.inSession && session == run.sessionRecord, "_CloseCommSession without its open session's record");
    run.inSession = false;
    return Result();
}

int LIBRARY_CALL FakeBoardGetInfo(int zero, int two, char* buffer, int length, CompteRendu* report)
{
    Check(run.inSession, "_BoardGetInfo outside a session");
    Check(zero == 0 && two == 2 && report != nullptr, "_BoardGetInfo arguments");
    Check(buffer == run.referenceBuffer && length == run.referenceLength, "the host's buffer or length changed");
    Check(report->general == 0 && report->com == 3 && report->aux == 0, "report not preset");
    if (buffer != nullptr && length > 0) {
        // The reference, terminated or not, within the length the host stated.
        std::size_t written = run.input->ConsumeIntegralInRange<std::size_t>(0, static_cast<std::size_t>(length));
        WriteReply(buffer, written);
        if (written < static_cast<std::size_t>(length) && run.input->ConsumeBool())
            buffer[written] = '\0';
    }
    FillReport(report);
    return Result();
}

int LIBRARY_CALL FakeCleanupZR()
{
    Check(run.inSession, "_CleanupZR outside a session");
    return Result();
}

int LIBRARY_CALL FakeGetCommSessions(void* table, int size, std::uint32_t* count)
{
    Check(!run.inSession, "_GetCommSessions inside a session");
    Check(table != nullptr && size == static_cast<int>(kSessionTableSize) && count != nullptr,
          "_GetCommSessions arguments");
    WriteReply(static_cast<char*>(table), run.input->ConsumeIntegralInRange<std::size_t>(0, kSessionTableSize));
    if (run.input->ConsumeBool())
        *count = run.input->ConsumeBool() ? run.input->PickValueInArray({0u, 1u, 3u, 19u, 20u, 21u, 0xFFFFFFFFu})
                                          : run.input->ConsumeIntegral<std::uint32_t>();
    return Result();
}

// Installs each fake or leaves its pointer null, as the input says.
void InstallLibrary()
{
    std::uint16_t present = run.input->ConsumeBool() ? 0x1FF : run.input->ConsumeIntegral<std::uint16_t>();
    _CreateRouter = (present & 0x001) ? &FakeCreateRouter : nullptr;
    _InitialiseCommBoard_Exp = (present & 0x002) ? &FakeInitialiseCommBoard : nullptr;
    _SendCommand = (present & 0x004) ? &FakeSendCommand : nullptr;
    _GetResult = (present & 0x008) ? &FakeGetResult : nullptr;
    _OpenCommSession = (present & 0x010) ? &FakeOpenCommSession : nullptr;
    _CloseCommSession = (present & 0x020) ? &FakeCloseCommSession : nullptr;
    _BoardGetInfo = (present & 0x040) ? &FakeBoardGetInfo : nullptr;
    _CleanupZR = (present & 0x080) ? &FakeCleanupZR : nullptr;
    _GetCommSessions = (present & 0x100) ? &FakeGetCommSessions : nullptr;
}

// Files of this process's own, in memory-backed storage when there is some.
std::string ScratchFile(const char* name)
{
    static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return folder + "/library_fuzz-" + std::to_string(getpid()) + "-" + name;
}

bool Contains(const std::vector<int>& values, int value)
{
    for (int each : values)
        if (each == value)
            return true;
    return false;
}

void RunDownload()
{
    std::string path = ScratchFile("appli.com");
    run.applicationSize = -1;
    if (run.input->ConsumeBool()) {
        std::string content = run.input->ConsumeRandomLengthString(300);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        Check(file != nullptr, "cannot write the application file");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
        run.applicationSize = static_cast<long long>(content.size());
    } else {
        std::remove(path.c_str());
    }
    int result = _TelechargeComposant_COM(&path[0]);
    Check(result == 0 || result == -1 || result == -2 || (run.downloadSent && result == run.downloadReturn),
          "download result outside its documented set");
    // -1 and -2 are refusals unless the library itself returned that value for an
    // accepted download (the host cannot tell the two apart).
    if (result == -1 || result == -2)
        Check(run.downloadSent && (run.downloadReturn == 0 || run.downloadReturn == result),
              "a refusal without a refused download command");
}

void RunVersion()
{
    bool hostBuffer = run.input->ConsumeProbability<float>() < 0.95f;
    std::vector<char> buffer(TORVEX_VERSION_BUFFER_SIZE);  // exactly the documented capacity
    int result = _GetVersionComposant_COM(run.input->ConsumeIntegral<int>(), hostBuffer ? buffer.data() : nullptr);
    Check(result == 0 || result == 1 || Contains(run.sendReturns, result) || Contains(run.fetchReturns, result),
          "version result outside its documented set");
    if (!hostBuffer)
        Check(!run.fetched, "a fetch into a null host buffer");
}

void RunReference()
{
    std::size_t capacity = run.input->ConsumeIntegralInRange<std::size_t>(0, 300);
    std::vector<char> buffer(capacity);
    run.referenceBuffer = capacity > 0 ? buffer.data() : nullptr;
    run.referenceLength = run.input->ConsumeIntegralInRange<int>(-2, static_cast<int>(capacity));
    int result = _GetReferenceBoard_COM(run.referenceBuffer, run.referenceLength);
    Check(result == 0 || result == 1, "reference result outside 0 and 1");
}

void RunReadFlag(bool test)
{
    std::string request = run.input->ConsumeRandomLengthString(16);
    bool nullRequest = run.input->ConsumeProbability<float>() < 0.05f;
    int result;
    if (test) {
        unsigned char value = 0;
        result = Test_FlagEEPROM(value);
    } else {
        char* reply = nullptr;
        unsigned long replyLength = 0;
        result = Read_FlagEEPROM(nullRequest ? nullptr : &request[0], static_cast<unsigned long>(request.size()), &reply,
                                 replyLength);
        Check(reply == nullptr || run.fetched, "a reply buffer without a fetch");
        if (reply != nullptr)
            Check(replyLength == run.announced && reply[replyLength] == '\0', "reply buffer not as announced");
        std::free(reply);
    }
    Check(result == 0 || result == 1 || Contains(run.fetchReturns, result), "EEPROM read result outside its set");
}

void RunWriteFlag()
{
    std::string data = run.input->ConsumeRandomLengthString(32);
    bool nullData = run.input->ConsumeProbability<float>() < 0.05f;
    int result = Write_FlagEEPROM(nullData ? nullptr : &data[0], static_cast<unsigned long>(data.size()));
    Check(result == 0 || result == 1, "EEPROM write result outside 0 and 1");
}

void RunOperation(Operation operation)
{
    run.operation = operation;
    run.inSession = false;
    run.sessionRecord = nullptr;
    run.downloadSent = false;
    run.downloadReturn = 0;
    run.sendReturns.clear();
    run.fetchReturns.clear();
    run.announced = 0;
    run.fetched = false;
    switch (operation) {
    case Operation::InitCom: {
        g_bINIT = 0;
        g_bROUTER = run.input->ConsumeBool() ? 1 : 0;
        int result = Init_Com();
        Check(result == 0 || result == 1, "Init_Com result outside 0 and 1");
        break;
    }
    case Operation::InitModule: {
        // Once ready, the exported call skips loading and only traces Init_Com.
        g_bINIT = 1;
        g_bROUTER = 1;
        int result = _Init_Module_COM();
        Check(result == 0 || result == 1, "_Init_Module_COM result outside 0 and 1");
        if (_CreateRouter != nullptr && _OpenCommSession != nullptr && _InitialiseCommBoard_Exp != nullptr)
            Check(result == 1, "a ready module's _Init_Module_COM did not return 1");
        break;
    }
    case Operation::Download:
        RunDownload();
        break;
    case Operation::Version:
        RunVersion();
        break;
    case Operation::Reference:
        RunReference();
        break;
    case Operation::Clean: {
        int result = _Clean_ZR_COM();
        Check(result == 0 || result == 1, "clean-up result outside 0 and 1");
        break;
    }
    // The EEPROM commands run inside a session their caller opened.
    case Operation::ReadFlag:
    case Operation::TestFlag:
    case Operation::WriteFlag:
        run.inSession = true;
        if (operation == Operation::WriteFlag)
            RunWriteFlag();
        else
            RunReadFlag(operation == Operation::TestFlag);
        Check(run.inSession, "a command closed its caller's session");
        run.inSession = false;
        break;
    }
    // Every exported operation closes what it opened; the EEPROM commands run inside their
    // caller's session and open none.
    if (_CloseCommSession != nullptr)
        Check(!run.inSession, "a session left open");
}

// No line of the log is longer than a formatted line can be.
void CheckLogLines()
{
    std::FILE* file = std::fopen(g_TorvexLogPath, "rb");
    if (file == nullptr)
        return;
    std::size_t line = 0;
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        line = c == '\n' ? 0 : line + 1;
        Check(line < kMessageSize - 1, "a log line longer than the message buffer allows");
    }
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    run = Run();
    run.input = &input;

    static const std::string logPath = ScratchFile("Torvex.log");
    std::memset(g_TorvexLogPath, 0, sizeof g_TorvexLogPath);
    std::memcpy(g_TorvexLogPath, logPath.c_str(), logPath.size());
    RazLogFile();

    InstallLibrary();
    int operations = input.ConsumeIntegralInRange<int>(1, 6);
    for (int i = 0; i < operations && input.remaining_bytes() > 0; ++i)
        RunOperation(static_cast<Operation>(input.ConsumeIntegralInRange<int>(0, 8)));
    CheckLogLines();
    return 0;
}
