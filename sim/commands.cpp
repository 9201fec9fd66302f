// SendCommand: carries out one board command, fills the status record and
// prepares the reply that GetResult hands out afterwards.
#include "board.h"

#include "answer.h"
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
    uint32_t replyLength;
};

constexpr Outcome kAccepted{1, kComAccepted, 0, 0};
constexpr Outcome kUnknown{0, kComUnknownCommand, 0, 0};

void JournalCall(int32_t arg, const CommandRequest* request, const CommandStatus* status, const char* payload)
{
    JournalLine line;
    line.AddFormat("SendCommand arg=%d request=", static_cast<int>(arg));
    uint32_t length = 0;
    if (request) {
        uint8_t bytes[sizeof(CommandRequest)];
        std::memcpy(bytes, request, sizeof bytes);
        line.AddHex(bytes, sizeof bytes);
        CommandRequest r;
        std::memcpy(&r, request, sizeof r);
        length = r.length;
    } else {
        line.Add("null");
    }
    line.Add(" status=");
    if (status) {
        uint8_t bytes[sizeof(CommandStatus)];
        std::memcpy(bytes, status, sizeof bytes);
        line.AddHex(bytes, sizeof bytes);
    } else {
        line.Add("null");
    }
    line.Add(" payload=");
    if (payload) {
        size_t shown = length < kJournalPayloadBytes ? length : kJournalPayloadBytes;
        line.AddHex(reinterpret_cast<const uint8_t*>(payload), shown);
        if (length > kJournalPayloadBytes)
            line.Add("...");
    } else {
        line.Add("null");
    }
    WriteJournal(line);
}

// Reads a state file into the pending reply; returns the file's full size
// (0 when missing), which is what the board announces.
uint32_t LoadReplyFromFile(StateFile file, uint32_t offset, size_t max)
{
    char path[4200];
    if (!BuildStatePath(file, path, sizeof path))
        return 0;
    int64_t size = ReadFileSize(path);
    if (size <= static_cast<int64_t>(offset))
        return 0;
    int64_t available = size - offset;
    size_t wanted = available < static_cast<int64_t>(max) ? static_cast<size_t>(available) : max;
    if (wanted > kReplyCapacity)
        wanted = kReplyCapacity;
    CommitReply(ReadFileBytes(path, offset, ReplyBuffer(), wanted));
    return available > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(available);
}

Outcome ReadEepromFlags()
{
    Outcome o = kAccepted;
    o.replyLength = LoadReplyFromFile(StateFile::kEeprom, 0, kReplyCapacity);
    return o;
}

Outcome ReadComponentVersion()
{
    char path[4200];
    int64_t size = BuildStatePath(StateFile::kFlash, path, sizeof path) ? ReadFileSize(path) : -1;
    // The banner sits after an 8-byte header; an image without even one
    // banner byte counts as no application at all.
    if (size <= static_cast<int64_t>(kBannerOffset))
        return Outcome{1, kComNoApplication, 0, 0};
    Outcome o = kAccepted;
    uint32_t available = LoadReplyFromFile(StateFile::kFlash, kBannerOffset, kBannerLength);
    o.replyLength = available < kBannerLength ? available : kBannerLength;
    return o;
}

Outcome DefaultOutcome(uint8_t code)
{
    switch (code) {
    case kCmdReset:
    case kCmdStartApplication:
    case kCmdWriteEepromFlags:
    case kCmdDownloadApplication:
        return kAccepted;
    case kCmdReadEepromFlags:
        return ReadEepromFlags();
    case kCmdComponentVersion:
        return ReadComponentVersion();
    default:
        return kUnknown;
    }
}

// Applies the [command.XX] overrides (or the call's numbered section) on top of the
// board's own outcome.
void ApplyOverrides(const Answer& answer, Outcome* o)
{
    o->result = answer.ReadInt32Or("result", o->result);
    o->com = answer.ReadInt32Or("com", o->com);
    o->general = answer.ReadInt32Or("general", o->general);
    if (const char* hex = answer.Find("reply")) {
        size_t described = 0;
        if (ParseHexBytes(hex, ReplyBuffer(), kReplyCapacity, &described)) {
            CommitReply(described);
            o->replyLength = static_cast<uint32_t>(described);
        }
    }
    o->replyLength = answer.ReadUint32Or("replyLength", o->replyLength);
}

// Writes the payload of an accepted 0x30 / 0x0C into its state file, at the given pace
// (0: at once).
bool StorePayload(StateFile file, const char* payload, uint32_t length, uint32_t bytesPerSecond = 0)
{
    char path[4200];
    return BuildStatePath(file, path, sizeof path) && WriteWholeFile(path, payload, length, bytesPerSecond);
}

bool IsAccepted(const Outcome& o)
{
    return o.result != 0 && (o.com == kComAccepted || o.com == kComAcceptedAlt);
}

}  // namespace

int SendCommand(int32_t arg, const CommandRequest* request, CommandStatus* status, const char* payload)
{
    JournalCall(arg, request, status, payload);
    const Config& cfg = ReloadConfig();
    ClearReply();

    Outcome o = kUnknown;
    bool untouched = false;
    if (cfg.Refusal()) {
        o = Outcome{0, 0, 0, 0};  // a board whose script was refused carries nothing out
    } else if (request) {
        CommandRequest req;
        std::memcpy(&req, request, sizeof req);
        char section[16];
        std::snprintf(section, sizeof section, "command.%02x", static_cast<unsigned>(req.code));

        Answer answer(cfg, section);
        o = DefaultOutcome(req.code);
        ApplyOverrides(answer, &o);
        untouched = answer.IsFlagSet("untouched");

        // The board keeps what it accepted, unless told to drop it ("store=0").
        int64_t store = 1;
        answer.ReadNumber("store", &store);
        bool stores = req.code == kCmdDownloadApplication || req.code == kCmdWriteEepromFlags;
        if (stores && store != 0 && IsAccepted(o)) {
            if (req.code == kCmdDownloadApplication) {
                uint32_t pace = cfg.ReadUint32Or("download", "bytes_per_second", 0);
                if (!StorePayload(StateFile::kFlash, payload, req.length, pace)) {
                    o.result = 0;
                    o.com = kComDownloadFailed;
                }
            } else if (!StorePayload(StateFile::kEeprom, payload, req.length)) {
                o.result = 0;
                o.com = kComUnknownCommand;
            }
        }
    }

    if (status && !untouched) {
        CommandStatus st;
        st.general = static_cast<uint16_t>(o.general);
        st.com = static_cast<uint16_t>(o.com);
        st.replyLength = o.replyLength;
        std::memcpy(status, &st, sizeof st);
    }
    return o.result;
}

}  // namespace qsim
