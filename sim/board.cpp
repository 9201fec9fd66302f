// Session-level entry points: router, session table, open/initialise/close,
// result retrieval, board information and cleanup. Commands are in commands.cpp.
#include "board.h"

#include "answer.h"
#include "journal.h"
#include "reply.h"
#include "session_slots.h"
#include "state_files.h"

#include <cstring>

namespace qsim {
namespace {

constexpr const char* kDefaultReference = "SIM-BOARD-0001";

// Appends "report=<general>,<com>,<aux>" (or "report=null") as received.
void AppendReport(JournalLine& line, const CompteRendu* report)
{
    if (!report) {
        line.Add("report=null");
        return;
    }
    CompteRendu r;
    std::memcpy(&r, report, sizeof r);
    line.AddFormat("report=%d,%d,%d", static_cast<int>(r.general), static_cast<int>(r.com), static_cast<int>(r.aux));
}

// Fills a report from the call's answer; defaults mean "accepted".
void FillReport(const Answer& answer, CompteRendu* report)
{
    if (!report)
        return;
    CompteRendu r;
    r.general = answer.ReadInt32Or("general", 0);
    r.com = answer.ReadInt32Or("com", kComAccepted);
    r.aux = answer.ReadInt32Or("aux", 0);
    std::memcpy(report, &r, sizeof r);
}

// What a board with a refused script reports: nothing of its configuration applies.
void FillRefusedReport(CompteRendu* report)
{
    if (report)
        std::memset(report, 0, sizeof *report);
}

}  // namespace

const Config& ReloadConfig()
{
    static Config config;  // large: kept out of the stack
    char path[4200];
    config.Load(BuildStatePath(StateFile::kConfig, path, sizeof path) ? path : nullptr);
    if (const char* refusal = config.Refusal())
        WriteJournal(JournalLine().AddFormat("ScriptRefused quelvane-sim.ini %s", refusal));
    return config;
}

int CreateRouter()
{
    WriteJournal(JournalLine().Add("CreateRouter"));
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal())
        return 0;
    return Answer(cfg, "router").ReadInt32Or("result", 1);
}

int GetCommSessions(void* table, int32_t size, uint32_t* count)
{
    WriteJournal(JournalLine().AddFormat("GetCommSessions size=%d", static_cast<int>(size)));
    const Config& cfg = ReloadConfig();
    bool refused = cfg.Refusal() != nullptr;
    Answer answer(cfg, "sessions");

    uint32_t occupied[kMaxSessionEntries];
    int listed = ParseNumberList(answer.Find("occupied"), occupied, kMaxSessionEntries);
    if (listed < 0)
        listed = 0;  // a malformed list is ignored
    // Sessions open in any process follow the configured entries, each as a used entry.
    if (cfg.IsFlagSet("sessions", "across_processes")) {
        for (int held = CountHeldSessionSlots(); held > 0; --held, ++listed) {
            if (listed < kMaxSessionEntries)
                occupied[listed] = 1;
        }
    }

    if (table && size > 0) {
        auto* bytes = static_cast<unsigned char*>(table);
        std::memset(bytes, 0, static_cast<size_t>(size));
        int fit = size / static_cast<int32_t>(sizeof(SessionEntry));
        int filled = listed < fit ? listed : fit;
        if (filled > kMaxSessionEntries)
            filled = kMaxSessionEntries;
        for (int i = 0; i < filled; ++i)
            std::memcpy(bytes + i * sizeof(SessionEntry), &occupied[i], sizeof occupied[i]);
    }
    if (count) {
        // Written as configured, even beyond the table's capacity, so hosts can
        // be tried against boards that report nonsense.
        uint32_t n = answer.ReadUint32Or("count", static_cast<uint32_t>(listed));
        std::memcpy(count, &n, sizeof n);
    }
    return refused ? 0 : answer.ReadInt32Or("result", 1);
}

int OpenCommSession(CompteRendu* report, unsigned char* sessionFlag)
{
    WriteJournal(JournalLine().Add("OpenCommSession"));
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal()) {
        FillRefusedReport(report);
        if (sessionFlag)
            *sessionFlag = 0;
        return 0;
    }
    Answer answer(cfg, "open");
    int result = answer.ReadInt32Or("result", 1);
    FillReport(answer, report);
    // The incoming flag value is never read; it is always overwritten.
    if (sessionFlag)
        *sessionFlag = static_cast<unsigned char>(answer.ReadUint32Or("flag", result > 0 ? 1 : 0));
    if (result > 0 && cfg.IsFlagSet("sessions", "across_processes"))
        TakeSessionSlot();
    return result;
}

int InitialiseCommBoard(CompteRendu* report)
{
    WriteJournal(JournalLine().Add("InitialiseCommBoard"));
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal()) {
        FillRefusedReport(report);
        return 0;
    }
    Answer answer(cfg, "init");
    FillReport(answer, report);
    return answer.ReadInt32Or("result", 1);
}

int CloseCommSession(CompteRendu* report)
{
    JournalLine line;
    line.Add("CloseCommSession ");
    if (report) {
        CompteRendu r;
        std::memcpy(&r, report, sizeof r);
        line.AddFormat("com=%d general=%d", static_cast<int>(r.com), static_cast<int>(r.general));
    } else {
        line.Add("com=null general=null");
    }
    WriteJournal(line);
    ReleaseSessionSlot();
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal())
        return 0;
    return Answer(cfg, "close").ReadInt32Or("result", 1);
}

int GetResult(int32_t arg, uint32_t length, char* destination, CompteRendu* report)
{
    JournalLine line;
    line.AddFormat("GetResult arg=%d length=%u ", static_cast<int>(arg), static_cast<unsigned>(length));
    AppendReport(line, report);
    WriteJournal(line);
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal()) {
        ClearReply();  // zeros only
        CopyReplyOut(destination, length);
        return 0;
    }
    CopyReplyOut(destination, length);
    return Answer(cfg, "getresult").ReadInt32Or("result", 1);
}

int BoardGetInfo(int32_t arg0, int32_t arg1, char* buffer, int32_t length, CompteRendu* report)
{
    JournalLine line;
    line.AddFormat("BoardGetInfo args=%d,%d length=%d ", static_cast<int>(arg0), static_cast<int>(arg1),
                   static_cast<int>(length));
    AppendReport(line, report);
    WriteJournal(line);
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal()) {
        if (report) {
            CompteRendu r;
            std::memcpy(&r, report, sizeof r);
            r.general = 0;
            r.com = 0;
            std::memcpy(report, &r, sizeof r);
        }
        return 0;
    }
    Answer answer(cfg, "boardinfo");

    // The reference as text, or as hex bytes (spaces at its ends, bytes that are no text).
    // The two keys are one setting: a call's own section that gives either gives the
    // reference, and within a section the hex bytes win.
    static uint8_t referenceBytes[4096];
    bool own = answer.FindInCall("reference") || answer.FindInCall("reference_hex");
    const char* reference = own ? answer.FindInCall("reference") : answer.FindStatic("reference");
    const char* hex = own ? answer.FindInCall("reference_hex") : answer.FindStatic("reference_hex");
    size_t referenceLength = 0;
    if (hex && ParseHexBytes(hex, referenceBytes, sizeof referenceBytes, &referenceLength)) {
        reference = reinterpret_cast<const char*>(referenceBytes);
        if (referenceLength > sizeof referenceBytes)
            referenceLength = sizeof referenceBytes;
    } else {
        if (!reference)
            reference = kDefaultReference;
        referenceLength = std::strlen(reference);
    }

    if (buffer && length > 0) {
        size_t cap = static_cast<size_t>(length);
        if (answer.IsFlagSet("unterminated")) {
            // Hostile board: every byte is text, no terminating zero anywhere.
            for (size_t i = 0; i < cap; ++i)
                buffer[i] = referenceLength ? reference[i % referenceLength] : '?';
        } else {
            size_t n = referenceLength < cap - 1 ? referenceLength : cap - 1;
            std::memcpy(buffer, reference, n);
            buffer[n] = '\0';
        }
    }
    if (report) {
        CompteRendu r;
        std::memcpy(&r, report, sizeof r);
        r.general = answer.ReadInt32Or("general", 0);
        r.com = answer.ReadInt32Or("com", kComAccepted);
        std::memcpy(report, &r, sizeof r);
    }
    return answer.ReadInt32Or("result", 1);
}

int Cleanup()
{
    WriteJournal(JournalLine().Add("CleanupZR"));
    const Config& cfg = ReloadConfig();
    if (cfg.Refusal())
        return 0;
    return Answer(cfg, "cleanup").ReadInt32Or("result", 1);
}

}  // namespace qsim
