// SendCommand: carries out one board command, fills the status record and
// prepares the reply that GetResult hands out afterwards.
#include "board.h"

#include "journal.h"
#include "reply.h"
#include "state_files.h"

#include <cstdio>
#include <cstring>

namespace qsim {
namespace {

constexpr size_t kJournalPayloadBytes = 64;

struct Outcome {
    int result;
    int32_t com;
    int32_t general;
    uint32_t reply_length;
};

constexpr Outcome kAccepted{1, kComAccepted, 0, 0};
constexpr Outcome kUnknown{0, kComUnknownCommand, 0, 0};

void journal_call(int32_t arg, const CommandRequest* request, const CommandStatus* status,
                  const char* payload) {
    JournalLine line;
    line.addf("SendCommand arg=%d request=", static_cast<int>(arg));
    uint32_t length = 0;
    if (request) {
        uint8_t bytes[sizeof(CommandRequest)];
        std::memcpy(bytes, request, sizeof bytes);
        line.hex(bytes, sizeof bytes);
        CommandRequest r;
        std::memcpy(&r, request, sizeof r);
        length = r.length;
    } else {
        line.add("null");
    }
    line.add(" status=");
    if (status) {
        uint8_t bytes[sizeof(CommandStatus)];
        std::memcpy(bytes, status, sizeof bytes);
        line.hex(bytes, sizeof bytes);
    } else {
        line.add("null");
    }
    line.add(" payload=");
    if (payload) {
        size_t shown = length < kJournalPayloadBytes ? length : kJournalPayloadBytes;
        line.hex(reinterpret_cast<const uint8_t*>(payload), shown);
        if (length > kJournalPayloadBytes) line.add("...");
    } else {
        line.add("null");
    }
    write_journal(line);
}

// Reads a state file into the pending reply; returns the file's full size
// (0 when missing), which is what the board announces.
uint32_t reply_from_file(StateFile file, uint32_t offset, size_t max) {
    char path[4200];
    if (!state_path(file, path, sizeof path)) return 0;
    int64_t size = file_size(path);
    if (size <= static_cast<int64_t>(offset)) return 0;
    int64_t available = size - offset;
    size_t wanted = available < static_cast<int64_t>(max) ? static_cast<size_t>(available) : max;
    if (wanted > kReplyCapacity) wanted = kReplyCapacity;
    reply_commit(read_file(path, offset, reply_buffer(), wanted));
    return available > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(available);
}

Outcome read_eeprom_flags() {
    Outcome o = kAccepted;
    o.reply_length = reply_from_file(StateFile::Eeprom, 0, kReplyCapacity);
    return o;
}

Outcome component_version() {
    char path[4200];
    int64_t size = state_path(StateFile::Flash, path, sizeof path) ? file_size(path) : -1;
    // The banner sits after an 8-byte header; an image without even one
    // banner byte counts as no application at all.
    if (size <= static_cast<int64_t>(kBannerOffset))
        return Outcome{1, kComNoApplication, 0, 0};
    Outcome o = kAccepted;
    uint32_t available = reply_from_file(StateFile::Flash, kBannerOffset, kBannerLength);
    o.reply_length = available < kBannerLength ? available : kBannerLength;
    return o;
}

Outcome default_outcome(uint8_t code) {
    switch (code) {
    case kCmdReset:
    case kCmdStartApplication:
    case kCmdWriteEepromFlags:
    case kCmdDownloadApplication: return kAccepted;
    case kCmdReadEepromFlags: return read_eeprom_flags();
    case kCmdComponentVersion: return component_version();
    default: return kUnknown;
    }
}

// Applies the [command.XX] overrides on top of the board's own outcome.
void apply_overrides(const Config& cfg, const char* section, Outcome* o) {
    o->result = cfg.int32_or(section, "result", o->result);
    o->com = cfg.int32_or(section, "com", o->com);
    o->general = cfg.int32_or(section, "general", o->general);
    if (const char* hex = cfg.find(section, "reply")) {
        size_t described = 0;
        if (parse_hex_bytes(hex, reply_buffer(), kReplyCapacity, &described)) {
            reply_commit(described);
            o->reply_length = static_cast<uint32_t>(described);
        }
    }
    o->reply_length = cfg.uint32_or(section, "replyLength", o->reply_length);
}

// Writes the payload of an accepted 0x30 / 0x0C into its state file.
bool store_payload(StateFile file, const char* payload, uint32_t length) {
    char path[4200];
    return state_path(file, path, sizeof path) && write_file(path, payload, length);
}

bool accepted(const Outcome& o) {
    return o.result != 0 && (o.com == kComAccepted || o.com == kComAcceptedAlt);
}

} // namespace

int send_command(int32_t arg, const CommandRequest* request, CommandStatus* status,
                 const char* payload) {
    journal_call(arg, request, status, payload);
    const Config& cfg = reload_config();
    reply_clear();

    Outcome o = kUnknown;
    bool untouched = false;
    if (request) {
        CommandRequest req;
        std::memcpy(&req, request, sizeof req);
        char section[16];
        std::snprintf(section, sizeof section, "command.%02x", static_cast<unsigned>(req.code));

        o = default_outcome(req.code);
        apply_overrides(cfg, section, &o);
        untouched = cfg.flag(section, "untouched");

        // The board keeps what it accepted, unless told to drop it ("store=0").
        int64_t store = 1;
        cfg.number(section, "store", &store);
        bool stores = req.code == kCmdDownloadApplication || req.code == kCmdWriteEepromFlags;
        if (stores && store != 0 && accepted(o)) {
            if (req.code == kCmdDownloadApplication) {
                if (!store_payload(StateFile::Flash, payload, req.length)) {
                    o.result = 0;
                    o.com = kComDownloadFailed;
                }
            } else if (!store_payload(StateFile::Eeprom, payload, req.length)) {
                o.result = 0;
                o.com = kComUnknownCommand;
            }
        }
    }

    if (status && !untouched) {
        CommandStatus st;
        st.general = static_cast<uint16_t>(o.general);
        st.com = static_cast<uint16_t>(o.com);
        st.replyLength = o.reply_length;
        std::memcpy(status, &st, sizeof st);
    }
    return o.result;
}

} // namespace qsim
