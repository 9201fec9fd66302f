#include "module/board_lock.h"

#include "system/paths.h"
#include "system/system_facts.h"
#include "words/language.h"
#include "words/messages.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <iterator>
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

// Each activity's entry and the name of its one placeholder ("" for none), in the order
// of the enumeration.
struct ActivityForm {
    Activity activity;
    Message message;
    const char* subject;
};
constexpr ActivityForm kActivityForms[] = {
    {Activity::kReadingBoard, Message::kActivityReadingBoard, ""},
    {Activity::kUpdating, Message::kActivityUpdating, "file"},
    {Activity::kDownloading, Message::kActivityDownloading, "file"},
    {Activity::kRunning, Message::kActivityRunning, "command"},
};
constexpr bool EveryActivityInOrder()
{
    for (std::size_t i = 0; i < std::size(kActivityForms); ++i)
        if (static_cast<std::size_t>(kActivityForms[i].activity) != i)
            return false;
    return std::size(kActivityForms) == static_cast<std::size_t>(Activity::kRunning) + 1;
}
static_assert(EveryActivityInOrder(), "one form for each activity, in the enumeration's order");

// The stored activity in the current language, when it is one that ActivityText words.
std::string ActivityWords(const std::string& stored)
{
    for (const ActivityForm& form : kActivityForms) {
        std::string english;
        {
            ThreadLanguage inEnglish(Language::kEnglish);
            english = Say(form.message);  // the placeholder stays as written
        }
        std::string placeholder = std::string("{") + form.subject + "}";
        std::size_t at = *form.subject == '\0' ? std::string::npos : english.find(placeholder);
        if (at == std::string::npos) {
            if (stored == english)
                return Say(form.message);
            continue;
        }
        std::string before = english.substr(0, at);
        std::string after = english.substr(at + placeholder.size());
        if (stored.size() > before.size() + after.size() && stored.compare(0, before.size(), before) == 0
            && stored.compare(stored.size() - after.size(), after.size(), after) == 0)
            return Say(form.message,
                       {{form.subject, stored.substr(before.size(), stored.size() - before.size() - after.size())}});
    }
    return stored;
}

}  // namespace

std::string ActivityText(Activity activity, const std::string& subject)
{
    const ActivityForm& form = kActivityForms[static_cast<std::size_t>(activity)];
    ThreadLanguage inEnglish(Language::kEnglish);  // the file is read by programs of every language
    return Say(form.message, {{form.subject, subject}});
}

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
                {"activity",
                 holder.activity.empty() ? Say(Message::kHolderActivityUnknown) : ActivityWords(holder.activity)}});
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
