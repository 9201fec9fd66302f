// Session-level entry points: router, session table, open/initialise/close,
// result retrieval, board information and cleanup. Commands are in commands.cpp.
#include "board.h"

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

// Fills a report from a configuration section; defaults mean "accepted".
void FillReport(const Config& cfg, const char* section, CompteRendu* report)
{
    if (!report)
        return;
    CompteRendu r;
    r.general = cfg.ReadInt32Or(section, "general", 0);
    r.com = cfg.ReadInt32Or(section, "com", kComAccepted);
    r.aux = cfg.ReadInt32Or(section, "aux", 0);
    std::memcpy(report, &r, sizeof r);
}

}  // namespace

const Config& ReloadConfig()
{
    static Config config;  // large: kept out of the stack
    char path[4200];
    config.Load(BuildStatePath(StateFile::kConfig, path, sizeof path) ? path : nullptr);
    return config;
}

int CreateRouter()
{
    WriteJournal(JournalLine().Add("CreateRouter"));
    return ReloadConfig().ReadInt32Or("router", "result", 1);
}

int GetCommSessions(void* table, int32_t size, uint32_t* count)
{
    WriteJournal(JournalLine().AddFormat("GetCommSessions size=%d", static_cast<int>(size)));
    const Config& cfg = ReloadConfig();

    uint32_t occupied[kMaxSessionEntries];
    int listed = ParseNumberList(cfg.Find("sessions", "occupied"), occupied, kMaxSessionEntries);
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
        uint32_t n = cfg.ReadUint32Or("sessions", "count", static_cast<uint32_t>(listed));
        std::memcpy(count, &n, sizeof n);
    }
    return cfg.ReadInt32Or("sessions", "result", 1);
}

int OpenCommSession(CompteRendu* report, unsigned char* sessionFlag)
{
    WriteJournal(JournalLine().Add("OpenCommSession"));
    const Config& cfg = ReloadConfig();
    int result = cfg.ReadInt32Or("open", "result", 1);
    FillReport(cfg, "open", report);
    // The incoming flag value is never read; it is always overwritten.
    if (sessionFlag)
        *sessionFlag = static_cast<unsigned char>(cfg.ReadUint32Or("open", "flag", result > 0 ? 1 : 0));
    if (result > 0 && cfg.IsFlagSet("sessions", "across_processes"))
        TakeSessionSlot();
    return result;
}

int InitialiseCommBoard(CompteRendu* report)
{
    WriteJournal(JournalLine().Add("InitialiseCommBoard"));
    const Config& cfg = ReloadConfig();
    FillReport(cfg, "init", report);
    return cfg.ReadInt32Or("init", "result", 1);
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
    return ReloadConfig().ReadInt32Or("close", "result", 1);
}

int GetResult(int32_t arg, uint32_t length, char* destination, CompteRendu* report)
{
    JournalLine line;
    line.AddFormat("GetResult arg=%d length=%u ", static_cast<int>(arg), static_cast<unsigned>(length));
    AppendReport(line, report);
    WriteJournal(line);
    const Config& cfg = ReloadConfig();
    CopyReplyOut(destination, length);
    return cfg.ReadInt32Or("getresult", "result", 1);
}

int BoardGetInfo(int32_t arg0, int32_t arg1, char* buffer, int32_t length, CompteRendu* report)
{
    JournalLine line;
    line.AddFormat("BoardGetInfo args=%d,%d length=%d ", static_cast<int>(arg0), static_cast<int>(arg1),
                   static_cast<int>(length));
    AppendReport(line, report);
    WriteJournal(line);
    const Config& cfg = ReloadConfig();

    const char* reference = cfg.Find("boardinfo", "reference");
    if (!reference)
        reference = kDefaultReference;
    size_t referenceLength = std::strlen(reference);

    if (buffer && length > 0) {
        size_t cap = static_cast<size_t>(length);
        if (cfg.IsFlagSet("boardinfo", "unterminated")) {
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
        r.general = cfg.ReadInt32Or("boardinfo", "general", 0);
        r.com = cfg.ReadInt32Or("boardinfo", "com", kComAccepted);
        std::memcpy(report, &r, sizeof r);
    }
    return cfg.ReadInt32Or("boardinfo", "result", 1);
}

int Cleanup()
{
    WriteJournal(JournalLine().Add("CleanupZR"));
    return ReloadConfig().ReadInt32Or("cleanup", "result", 1);
}

}  // namespace qsim
