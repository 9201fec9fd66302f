#include "replay/replay_plan.h"

#include "replay/banner_text.h"
#include "words/messages.h"

#include <algorithm>
#include <cstdio>

namespace torvexreplay {
namespace {

using torvexupdate::Message;
using torvexupdate::Say;

constexpr std::size_t kBannerBytes = 48;
constexpr std::size_t kLargestFileWithoutBanner = 57;

enum class Library { kAny, kPresent, kAbsent };

// What one field call becomes in a replay.
struct CallPlan {
    std::size_t process = 0;
    Library library = Library::kAny;
    std::vector<BoardAnswer> answers;
    int pendingInit = -1;  // answers[pendingInit] is an initialisation whose result the log leaves open
    bool hasFile = false;
    ReplayFile file;
    std::vector<LineNote> notes;
};

std::string Number(long long value)
{
    return std::to_string(value);
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char byte[4];
    for (unsigned char c : bytes) {
        std::snprintf(byte, sizeof byte, text.empty() ? "%02X" : " %02X", c);
        text += byte;
    }
    return text;
}

// Text the simulator's configuration keeps as it stands: printable, no spaces at its ends.
bool PlainText(const std::string& text)
{
    if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
        return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// The file's name for the setup: its last component, in characters every system takes.
std::string SetupFileName(const std::string& logged)
{
    std::size_t slash = logged.find_last_of("\\/");
    std::string base = slash == std::string::npos ? logged : logged.substr(slash + 1);
    std::string name;
    for (char c : base) {
        bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-'
            || c == '_';
        if (name.size() < 60)
            name += keep ? c : '_';
    }
    if (name.empty() || name.find_first_not_of('.') == std::string::npos)
        name = "file";
    return name;
}

// Files are numbered in the order the replay first names them.
std::string NumberedName(const std::string& name, std::size_t index)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "%02u-", static_cast<unsigned>(index + 1));
    return prefix + name;
}

class Planner {
public:
    explicit Planner(const FieldCalls& calls) : calls_(calls.calls), plans_(calls_.size()) { }

    void PlanAll()
    {
        for (std::size_t i = 0; i < calls_.size(); ++i) {
            const FieldCall& call = calls_[i];
            if (call.call == HostCall::kInit && call.dated && i > 0) {
                if (SameProcess(i)) {
                    ResolvePendingInit(false);
                } else {
                    ResolvePendingInit(true);
                    ++process_;
                    state_ = State();
                }
            }
            plans_[i].process = process_;
            current_ = i;
            switch (call.call) {
            case HostCall::kInit:
                PlanInit(call);
                break;
            case HostCall::kDownload:
                PlanDownload(call);
                break;
            case HostCall::kVersion:
                PlanVersion(call);
                break;
            case HostCall::kReference:
                PlanReference(call);
                break;
            case HostCall::kClean:
                PlanClean(call);
                break;
            }
        }
        ResolvePendingInit(true);
    }

    const std::vector<CallPlan>& Plans() const { return plans_; }

    // Where the process of a call begins (the index of its first call).
    std::size_t ProcessStart(std::size_t call) const
    {
        while (call > 0 && plans_[call - 1].process == plans_[call].process)
            --call;
        return call;
    }

    // Why a process was taken to go on across a date line, for the reader.
    std::string Continuation(std::size_t call) const
    {
        const FieldCall& c = calls_[call];
        if (RouterExisted(c))
            return Say(Message::kReplayBecauseRouter);
        return Say(Message::kReplayBecauseLibrary);
    }

private:
    struct State {
        bool loaded = false;    // the entry points were resolved in this process
        bool router = false;    // the router exists
        bool initDone = false;  // an initialisation succeeded
        int pendingCall = -1;
    };

    std::size_t Line(std::size_t index) const { return index + 1; }

    void Note(std::size_t line, std::string why)
    {
        plans_[current_].notes.push_back(LineNote{Line(line), std::move(why), calls_[current_].end + 1});
    }

    static bool RouterExisted(const FieldCall& c)
    {
        return c.comRan && c.router == RouterLine::kNone && (c.boardInit.present || c.initOpenFailed.present);
    }

    // Whether the operation's trace shows it used the library's entry points.
    static bool UsesLibrary(const FieldCall& c)
    {
        return c.call != HostCall::kInit && (c.call == HostCall::kClean || c.reach != Reach::kStopped);
    }

    // A date line begins a run; whether the run goes on in the process before it. It does
    // when the module found the router already made, or when the library, not loaded
    // again, is still used: both need the state of the process before.
    bool SameProcess(std::size_t index) const
    {
        const FieldCall& c = calls_[index];
        if (RouterExisted(c))
            return true;
        if (state_.initDone || c.status != 0 || !state_.loaded)
            return false;
        for (std::size_t i = index + 1; i < calls_.size() && !(calls_[i].call == HostCall::kInit && calls_[i].dated);
             ++i) {
            if (UsesLibrary(calls_[i]))
                return true;
        }
        return false;
    }

    // An initialisation whose result the log does not show: a later one in the same
    // process tells (a date line: it failed; none: it succeeded); else it succeeded.
    void ResolvePendingInit(bool succeeded)
    {
        if (state_.pendingCall < 0)
            return;
        CallPlan& plan = plans_[static_cast<std::size_t>(state_.pendingCall)];
        for (auto& key : plan.answers[static_cast<std::size_t>(plan.pendingInit)].keys) {
            if (key.first == "result")
                key.second = succeeded ? "1" : "0";
        }
        state_.initDone = succeeded;
        state_.pendingCall = -1;
    }

    void Answer(const std::string& section, std::vector<std::pair<std::string, std::string>> keys, std::size_t line)
    {
        plans_[current_].answers.push_back(BoardAnswer{section, std::move(keys), Line(line)});
    }

    void OpenAnswer(bool opened, const Report& report, std::size_t line)
    {
        if (opened)
            Answer("open",
                   {{"result", "1"},
                    {"com", Number(report.present ? report.com : 3)},
                    {"general", Number(report.present ? report.general : 0)}},
                   line);
        else
            Answer("open", {{"result", "0"}, {"com", Number(report.com)}, {"general", Number(report.general)}}, line);
    }

    void CommandAnswer(const char* code, bool carriedOut, const Report& report)
    {
        Answer(std::string("command.") + code,
               {{"result", carriedOut ? "1" : "0"}, {"com", Number(report.com)}, {"general", Number(report.general)}},
               report.line);
    }

    void PlanInit(const FieldCall& c)
    {
        CallPlan& plan = plans_[current_];
        if (!c.dated && !c.comRan) {
            Note(c.first, Say(Message::kReplayNoteNoOwnFolder));
            return;
        }
        if (!c.dated) {
            // Only a module already initialised in this process skips Init_Library.
            if (state_.pendingCall >= 0)
                ResolvePendingInit(true);
            if (!state_.initDone)
                Note(c.first, Say(Message::kReplayNoteSkipsLibrary));
            return;
        }
        if (c.holderMissing)
            Note(c.first + 1, Say(Message::kReplayNoteHolderMemory));
        if (c.status != 0 && c.status != 1)
            Note(c.first, Say(Message::kReplayNoteStatus, {{"status", Number(c.status)}}));
        if (c.status != 1) {
            plan.library = c.holderMissing ? Library::kAny : Library::kAbsent;
            return;
        }
        plan.library = Library::kPresent;
        state_.loaded = true;
        if (c.cut && !c.comEnded && c.router == RouterLine::kNone && !c.boardInit.present && !c.initOpenFailed.present)
            return;
        if (!state_.router) {
            if (c.router == RouterLine::kNone) {
                if (RouterExisted(c))
                    Note(c.first, Say(Message::kReplayNoteRouterBefore));
                else if (!c.cut)
                    Note(c.first, Say(Message::kReplayNoteNoRouter));
                return;
            }
            if (c.router == RouterLine::kUnchecked)
                Note(c.routerAt, Say(Message::kReplayNoteSessionMemory));
            Answer("sessions", {{"occupied", c.router == RouterLine::kOccupied ? "1" : ""}}, c.routerAt);
            if (c.router == RouterLine::kCreated || c.router == RouterLine::kFailed)
                Answer("router", {{"result", c.router == RouterLine::kCreated ? "1" : "0"}}, c.routerAt);
            state_.router = c.router == RouterLine::kCreated;
        } else if (c.router != RouterLine::kNone) {
            Note(c.first, Say(Message::kReplayNoteRouterAgain));
        }
        if (!state_.router || state_.initDone) {
            if (!c.comEnded && !c.cut)
                Note(c.first, Say(Message::kReplayNoteNoInitComEnd));
            return;
        }
        if (c.initOpenFailed.present) {
            OpenAnswer(false, c.initOpenFailed, c.initOpenFailed.line);
        } else if (c.boardInit.present) {
            OpenAnswer(true, Report(), c.boardInit.line);
            Answer("init",
                   {{"result", "1"}, {"com", Number(c.boardInit.com)}, {"general", Number(c.boardInit.general)}},
                   c.boardInit.line);
            plan.pendingInit = static_cast<int>(plan.answers.size()) - 1;
            state_.pendingCall = static_cast<int>(current_);
        } else if (!c.cut) {
            Note(c.first, Say(Message::kReplayNoteNoBoardInit));
        }
    }

    // An operation whose trace stops after its first lines, or one that uses a library no
    // initialisation loaded: each is a library the simulator is not.
    bool CheckEntryPoints(const FieldCall& c, const char* lacking, const char* orLacking = nullptr)
    {
        bool uses = UsesLibrary(c);
        if (uses && !state_.loaded)
            Note(c.first, Say(Message::kReplayNoteNotLoaded));
        if (!uses && state_.loaded && !c.cut)
            Note(c.first,
                 Say(orLacking != nullptr ? Message::kReplayNoteLacksEither : Message::kReplayNoteLacks,
                     {{"entry_point", lacking}, {"other", orLacking != nullptr ? orLacking : ""}}));
        return uses;
    }

    void PlanDownload(const FieldCall& c)
    {
        CallPlan& plan = plans_[current_];
        if (!c.path.empty()) {
            plan.hasFile = true;
            plan.file = MakeFile(c);
        }
        if (!CheckEntryPoints(c, "_SendCommand", "_OpenCommSession"))
            return;
        OpenAnswer(c.reach == Reach::kInSession, c.openFailed, c.openFailed.present ? c.openFailed.line : c.first);
        if (c.reach != Reach::kInSession || !c.firstReset.present)
            return;
        CommandAnswer("07", true, c.firstReset);
        if (c.fileUnread)
            Note(c.firstReset.line + 3, Say(Message::kReplayNoteFileUnread));
        if (!c.sent.present)
            return;
        CommandAnswer("30", c.start.present, c.sent);
        if (c.start.present)
            CommandAnswer("12", c.finalReset.present || (c.cut && !c.ended), c.start);
        if (c.finalReset.present)
            CommandAnswer("07", true, c.finalReset);
    }

    void PlanVersion(const FieldCall& c)
    {
        if (!CheckEntryPoints(c, "_SendCommand", "_OpenCommSession"))
            return;
        OpenAnswer(c.reach == Reach::kInSession, c.openFailed, c.openFailed.present ? c.openFailed.line : c.first);
        if (!c.command.present)
            return;
        std::string reply;
        if (c.hasBanner && !BannerForText(c.banner, kBannerBytes, &reply))
            Note(c.command.line + 1, Say(Message::kReplayNoteNoVersionBanner));
        Answer("command.fa",
               {{"result", "1"},
                {"com", Number(c.command.com)},
                {"general", Number(c.command.general)},
                {"reply", Hex(reply)}},
               c.command.line);
    }

    void PlanReference(const FieldCall& c)
    {
        if (!CheckEntryPoints(c, "_BoardGetInfo", "_OpenCommSession"))
            return;
        OpenAnswer(c.reach == Reach::kInSession, c.openFailed, c.openFailed.present ? c.openFailed.line : c.first);
        if (!c.command.present)
            return;
        std::vector<std::pair<std::string, std::string>> keys = {{"result", c.hasReference ? "1" : "0"},
                                                                 {"com", Number(c.command.com)},
                                                                 {"general", Number(c.command.general)}};
        if (c.hasReference)
            keys.emplace_back(PlainText(c.reference) ? "reference" : "reference_hex",
                              PlainText(c.reference) ? c.reference : Hex(c.reference));
        Answer("boardinfo", keys, c.command.line);
    }

    void PlanClean(const FieldCall& c)
    {
        CheckEntryPoints(c, "_OpenCommSession");
        // The line shows the session's record either way: an open session's reports, or
        // those of the open that failed. The usual reports read as an open session.
        bool opened = c.command.com == 3 && c.command.general == 0;
        OpenAnswer(opened, c.command, c.command.line);
    }

    ReplayFile MakeFile(const FieldCall& c)
    {
        ReplayFile file;
        file.name = SetupFileName(c.path);
        if (c.hasBanner) {
            std::string banner;
            if (!BannerForText(c.banner, kBannerBytes, &banner)) {
                Note(c.first + 2, Say(Message::kReplayNoteNoFileBanner));
                banner = c.banner.substr(0, kBannerBytes - 1);
            }
            banner.resize(kBannerBytes, '\0');
            file.bytes = "REPLAY01" + banner + "The bytes after the banner are not in the log.\n";
            file.what = Say(Message::kReplayFileWithBanner);
        } else if (c.reach == Reach::kInSession && (c.sent.present || c.fileUnread)) {
            file.bytes = "The log shows no banner: the file held 1 to 57 bytes.";
            file.bytes.resize(kLargestFileWithoutBanner, '.');
            file.what = Say(Message::kReplayFileShort);
        } else if (c.reach == Reach::kInSession) {
            file.what = Say(Message::kReplayFileNothingSent);
        } else {
            file.what = Say(Message::kReplayFileNotRead);
        }
        return file;
    }

    const std::vector<FieldCall>& calls_;
    std::vector<CallPlan> plans_;
    State state_;
    std::size_t process_ = 0;
    std::size_t current_ = 0;
};

}  // namespace

std::size_t ReplayPlan::CallCount() const
{
    std::size_t count = 0;
    for (const ReplayProcess& process : processes)
        count += static_cast<std::size_t>(
            std::count_if(process.steps.begin(), process.steps.end(),
                          [](const ReplayStep& s) { return s.kind == ReplayStep::Kind::kCall; }));
    return count;
}

bool PlanReplay(const FieldLog& log, const RunSelection& selection, ReplayPlan* plan, std::string* refusal)
{
    *plan = ReplayPlan();
    plan->runsInLog = log.runs.size();
    if (selection.run > log.runs.size()) {
        *refusal = Say(log.runs.size() == 1 ? Message::kReplayNoSuchRunOne : Message::kReplayNoSuchRun,
                       {{"run", std::to_string(selection.run)}, {"count", std::to_string(log.runs.size())}});
        return false;
    }
    FieldCalls fieldCalls = ReadFieldCalls(log);
    const std::vector<FieldCall>& calls = fieldCalls.calls;
    std::size_t run = selection.run == 0 ? log.runs.size() - 1 : selection.run - 1;

    if (calls.empty()) {
        *refusal = Say(Message::kReplayNoCallReadable,
                       {{"line", std::to_string(fieldCalls.stopLine)}, {"reason", fieldCalls.stopReason}});
        return false;
    }
    // The calls replayed: all, or those of the run and of the runs before it in its process.
    std::size_t first = 0;
    while (first < calls.size() && !selection.all && calls[first].run < run)
        ++first;
    if (first == calls.size() || (!selection.all && calls[first].run != run)) {
        *refusal = Say(Message::kReplayRunPastStop,
                       {{"run", std::to_string(run + 1)},
                        {"line", std::to_string(log.runs[run].first + 1)},
                        {"stop_line", std::to_string(fieldCalls.stopLine)},
                        {"reason", fieldCalls.stopReason}});
        return false;
    }
    std::size_t end = first;
    while (end < calls.size() && (selection.all || calls[end].run == run))
        ++end;

    Planner planner(fieldCalls);
    planner.PlanAll();
    const std::vector<CallPlan>& plans = planner.Plans();
    std::size_t start = selection.all ? 0 : planner.ProcessStart(first);
    if (start < first) {
        plan->remarks.push_back(Say(Message::kReplayRunGoesOn,
                                    {{"run", std::to_string(run + 1)},
                                     {"first_run", std::to_string(calls[start].run + 1)},
                                     {"because", planner.Continuation(first)}}));
    }
    if (log.leadingLines > 0)
        plan->remarks.push_back(Say(Message::kReplayLeadingLines, {{"count", std::to_string(log.leadingLines)}}));

    plan->firstRun = calls[start].run + 1;
    plan->lastRun = calls[end - 1].run + 1;
    plan->firstLine = calls[start].first + 1;
    plan->endLine = calls[end - 1].end + 1;
    plan->cutShort = calls[end - 1].end == fieldCalls.end && fieldCalls.stopLine != 0;
    // Blank lines before the line the reading stopped at begin the next call, not this one.
    while (plan->cutShort && plan->endLine - 1 > plan->firstLine
           && log.lines[plan->endLine - 2].kind == LineKind::kBlank)
        --plan->endLine;
    plan->stopLine = fieldCalls.stopLine;
    plan->stopReason = fieldCalls.stopReason;

    bool present = true;
    for (std::size_t i = start; i < end; ++i) {
        const FieldCall& call = calls[i];
        const CallPlan& callPlan = plans[i];
        if (plan->processes.empty() || (i > start && callPlan.process != plans[i - 1].process))
            plan->processes.push_back(ReplayProcess{call.first + 1, call.end, {}});
        ReplayProcess& process = plan->processes.back();
        process.lastLine = call.end;
        if (callPlan.library != Library::kAny && (callPlan.library == Library::kPresent) != present) {
            present = callPlan.library == Library::kPresent;
            process.steps.push_back(
                ReplayStep{present ? ReplayStep::Kind::kLibraryPresent : ReplayStep::Kind::kLibraryAbsent,
                           HostCall::kInit, -1, call.first + 1});
        }
        ReplayStep step{ReplayStep::Kind::kCall, call.call, -1, call.first + 1};
        if (callPlan.hasFile) {
            // One file for the downloads of one name and content.
            std::string name = NumberedName(callPlan.file.name, plan->files.size());
            auto same = std::find_if(plan->files.begin(), plan->files.end(), [&](const ReplayFile& f) {
                return f.bytes == callPlan.file.bytes && f.name.substr(f.name.find('-') + 1) == callPlan.file.name;
            });
            if (same == plan->files.end()) {
                plan->files.push_back(callPlan.file);
                plan->files.back().name = name;
                step.file = static_cast<int>(plan->files.size()) - 1;
            } else {
                step.file = static_cast<int>(same - plan->files.begin());
            }
        }
        process.steps.push_back(step);
        plan->answers.insert(plan->answers.end(), callPlan.answers.begin(), callPlan.answers.end());
        plan->notes.insert(plan->notes.end(), callPlan.notes.begin(), callPlan.notes.end());
    }
    return true;
}

const LineNote* NoteFor(const ReplayPlan& plan, std::size_t line)
{
    const LineNote* found = nullptr;
    for (const LineNote& note : plan.notes) {
        if (note.line <= line && line < note.until && (!found || note.line >= found->line))
            found = &note;
    }
    return found;
}

}  // namespace torvexreplay
