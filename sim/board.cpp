// Session-level entry points: router, session table, open/initialise/close,
// result retrieval, board information and cleanup. Commands are in commands.cpp.
#include "board.h"

#include "journal.h"
#include "reply.h"
#include "state_files.h"

#include <cstring>

namespace qsim {
namespace {

constexpr const char* kDefaultReference = "SIM-BOARD-0001";

// Appends "report=<general>,<com>,<aux>" (or "report=null") as received.
void add_report(JournalLine& line, const CompteRendu* report) {
    if (!report) {
        line.add("report=null");
        return;
    }
    CompteRendu r;
    std::memcpy(&r, report, sizeof r);
    line.addf("report=%d,%d,%d", static_cast<int>(r.general), static_cast<int>(r.com),
              static_cast<int>(r.aux));
}

// Fills a report from a configuration section; defaults mean "accepted".
void fill_report(const Config& cfg, const char* section, CompteRendu* report) {
    if (!report) return;
    CompteRendu r;
    r.general = cfg.int32_or(section, "general", 0);
    r.com = cfg.int32_or(section, "com", kComAccepted);
    r.aux = cfg.int32_or(section, "aux", 0);
    std::memcpy(report, &r, sizeof r);
}

} // namespace

const Config& reload_config() {
    static Config config; // large: kept out of the stack
    char path[4200];
    config.load(state_path(StateFile::Config, path, sizeof path) ? path : nullptr);
    return config;
}

int create_router() {
    write_journal(JournalLine().add("CreateRouter"));
    return reload_config().int32_or("router", "result", 1);
}

int get_comm_sessions(void* table, int32_t size, uint32_t* count) {
    write_journal(JournalLine().addf("GetCommSessions size=%d", static_cast<int>(size)));
    const Config& cfg = reload_config();

    uint32_t occupied[kMaxSessionEntries];
    int listed = parse_number_list(cfg.find("sessions", "occupied"), occupied, kMaxSessionEntries);
    if (listed < 0) listed = 0; // a malformed list is ignored

    if (table && size > 0) {
        auto* bytes = static_cast<unsigned char*>(table);
        std::memset(bytes, 0, static_cast<size_t>(size));
        int fit = size / static_cast<int32_t>(sizeof(SessionEntry));
        int filled = listed < fit ? listed : fit;
        if (filled > kMaxSessionEntries) filled = kMaxSessionEntries;
        for (int i = 0; i < filled; ++i)
            std::memcpy(bytes + i * sizeof(SessionEntry), &occupied[i], sizeof occupied[i]);
    }
    if (count) {
        // Written as configured, even beyond the table's capacity, so hosts can
        // be tried against boards that report nonsense.
        uint32_t n = cfg.uint32_or("sessions", "count", static_cast<uint32_t>(listed));
        std::memcpy(count, &n, sizeof n);
    }
    return cfg.int32_or("sessions", "result", 1);
}

int open_comm_session(CompteRendu* report, unsigned char* session_flag) {
    write_journal(JournalLine().add("OpenCommSession"));
    const Config& cfg = reload_config();
    int result = cfg.int32_or("open", "result", 1);
    fill_report(cfg, "open", report);
    // The incoming flag value is never read; it is always overwritten.
    if (session_flag)
        *session_flag = static_cast<unsigned char>(cfg.uint32_or("open", "flag", result > 0 ? 1 : 0));
    return result;
}

int initialise_comm_board(CompteRendu* report) {
    write_journal(JournalLine().add("InitialiseCommBoard"));
    const Config& cfg = reload_config();
    fill_report(cfg, "init", report);
    return cfg.int32_or("init", "result", 1);
}

int close_comm_session(CompteRendu* report) {
    JournalLine line;
    line.add("CloseCommSession ");
    if (report) {
        CompteRendu r;
        std::memcpy(&r, report, sizeof r);
        line.addf("com=%d general=%d", static_cast<int>(r.com), static_cast<int>(r.general));
    } else {
        line.add("com=null general=null");
    }
    write_journal(line);
    return reload_config().int32_or("close", "result", 1);
}

int get_result(int32_t arg, uint32_t length, char* destination, CompteRendu* report) {
    JournalLine line;
    line.addf("GetResult arg=%d length=%u ", static_cast<int>(arg), static_cast<unsigned>(length));
    add_report(line, report);
    write_journal(line);
    const Config& cfg = reload_config();
    reply_copy_out(destination, length);
    return cfg.int32_or("getresult", "result", 1);
}

int board_get_info(int32_t arg0, int32_t arg1, char* buffer, int32_t length,
                   CompteRendu* report) {
    JournalLine line;
    line.addf("BoardGetInfo args=%d,%d length=%d ", static_cast<int>(arg0), static_cast<int>(arg1),
              static_cast<int>(length));
    add_report(line, report);
    write_journal(line);
    const Config& cfg = reload_config();

    const char* reference = cfg.find("boardinfo", "reference");
    if (!reference) reference = kDefaultReference;
    size_t ref_len = std::strlen(reference);

    if (buffer && length > 0) {
        size_t cap = static_cast<size_t>(length);
        if (cfg.flag("boardinfo", "unterminated")) {
            // Hostile board: every byte is text, no terminating zero anywhere.
            for (size_t i = 0; i < cap; ++i) buffer[i] = ref_len ? reference[i % ref_len] : '?';
        } else {
            size_t n = ref_len < cap - 1 ? ref_len : cap - 1;
            std::memcpy(buffer, reference, n);
            buffer[n] = '\0';
        }
    }
    if (report) {
        CompteRendu r;
        std::memcpy(&r, report, sizeof r);
        r.general = cfg.int32_or("boardinfo", "general", 0);
        r.com = cfg.int32_or("boardinfo", "com", kComAccepted);
        std::memcpy(report, &r, sizeof r);
    }
    return cfg.int32_or("boardinfo", "result", 1);
}

int cleanup() {
    write_journal(JournalLine().add("CleanupZR"));
    return reload_config().int32_or("cleanup", "result", 1);
}

} // namespace qsim
