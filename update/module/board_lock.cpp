#include "module/board_lock.h"

#include "system/paths.h"
#include "system/system_facts.h"
#include "words/messages.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <thread>

namespace torvexupdate {

namespace {

using Json = nlohmann::ordered_json;

// The holder's words; false while the file is empty or half written (its holder has only
// just taken the lock).
// What a holder writes of itself is a few hundred bytes; more is not read.
constexpr std::size_t kMaxHolderText = 65536;

bool ReadHolder(const std::string& path, LockHolder* holder)
{
    std::FILE* file = OpenFile(path, "rb");
    if (file == nullptr)
        return false;
    std::string text;
    char chunk[1024];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0 && text.size() < kMaxHolderText)
        text.append(chunk, got);
    std::fclose(file);
    Json words = Json::parse(text, nullptr, false);
    if (words.is_discarded() || !words.is_object())
        return false;
    try {
        holder->program = words.value("program", "");
        holder->processId = words.value("process_id", 0UL);
        holder->since = words.value("since", "");
        holder->activity = words.value("activity", "");
        holder->file = words.value("file", "");
        holder->machine = words.value("machine", "");
        holder->updateId = words.value("update_id", "");
    } catch (const Json::exception&) {
        *holder = LockHolder();  // words of another kind: as good as none
    }
    return !holder->program.empty();
}

void WriteHolder(const std::string& path, const LockHolder& me)
{
    Json words = {
        {"program", me.program}, {"process_id", me.processId}, {"since", me.since},       {"activity", me.activity},
        {"file", me.file},       {"machine", me.machine},      {"update_id", me.updateId}};
    std::string text = words.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
    std::FILE* file = OpenFile(path, "wb");
    if (file == nullptr)
        return;  // the lock holds all the same; others then cannot say who holds it
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

}  // namespace

std::string HolderWords(const LockHolder& holder)
{
    if (holder.program.empty())
        return Say(Message::kHolderUnnamed);
    // The window is known by the name of its Start-menu entry, not by its file's.
    const std::string program = holder.program == "torvexgui" ? "Torvex board update" : holder.program;
    return Say(Message::kHolderWords,
               {{"program", program},
                {"process", std::to_string(holder.processId)},
                {"since", holder.since.empty() ? Say(Message::kHolderSinceUnknown) : holder.since},
                {"activity", holder.activity.empty() ? Say(Message::kHolderActivityUnknown) : holder.activity}});
}

BoardLock::BoardLock(const std::string& moduleFolder)
        : lockFile_(JoinPath(AbsolutePath(moduleFolder.empty() ? "." : moduleFolder), kBoardLockFileName))
{
}

BoardLock::~BoardLock()
{
    Release();
}

BoardLock::Result BoardLock::Take(LockHolder me, LockHolder* holder, std::string* error)
{
    if (Held())
        return Result::kTaken;
    bool busy = false;
    native_ = TakeSystemLock(lockFile_, &busy, error);
    // Another program's Holder() holds the lock for an instant only: try again briefly
    // before taking the board for busy.
    for (int tries = 0; native_ == nullptr && busy && tries < 5; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        native_ = TakeSystemLock(lockFile_, &busy, error);
    }
    if (native_ != nullptr) {
        me.processId = CurrentProcessId();
        me.since = UtcTimestamp();
        me.machine = MachineName();
        me_ = me;
        WriteHolder(lockFile_, me);
        return Result::kTaken;
    }
    if (!busy)
        return Result::kFailed;
    // The holder writes its words just after taking the lock: give it a moment.
    *holder = LockHolder();
    for (int tries = 0; tries < 25 && !ReadHolder(lockFile_, holder); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return Result::kBusy;
}

std::optional<LockHolder> BoardLock::Holder()
{
    if (Held())
        return me_;
    bool busy = false;
    std::string error;
    if (void* probe = TakeSystemLock(lockFile_, &busy, &error)) {
        ReleaseSystemLock(probe);
        return std::nullopt;
    }
    if (!busy)
        return std::nullopt;
    LockHolder holder;
    for (int tries = 0; tries < 25 && !ReadHolder(lockFile_, &holder); ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return holder;
}

void BoardLock::Release()
{
    if (!Held())
        return;
    // Emptied before the lock goes, so that nobody reads these words for the next holder.
    if (std::FILE* file = OpenFile(lockFile_, "wb"))
        std::fclose(file);
    ReleaseSystemLock(native_);
    native_ = nullptr;
}

}  // namespace torvexupdate
