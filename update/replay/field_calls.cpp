#include "replay/field_calls.h"

#include "words/messages.h"

#include <string_view>

namespace torvexreplay {
namespace {

using torvexupdate::Message;
using torvexupdate::Say;

// Walks the lines of the log, blank lines aside, and reads one call after another.
class CallReader {
public:
    CallReader(const FieldLog& log, FieldCalls* out) : log_(log), out_(out), end_(log.lines.size()) { }

    void ReadAll()
    {
        at_ = log_.runs.front().first;
        SkipBlanks();
        while (at_ < end_ && !stopped_) {
            FieldCall call;
            call.first = at_;
            call.run = RunOf(at_);
            ReadCall(&call);
            if (call.first == at_ && !stopped_)
                Stop(Say(Message::kReplayStopNoCall));
            if (call.first != at_ || call.ended)
                out_->calls.push_back(call);
            SkipBlanks();
        }
        for (std::size_t i = 0; i < out_->calls.size(); ++i)
            out_->calls[i].end = i + 1 < out_->calls.size() ? out_->calls[i + 1].first : end_;
        out_->end = end_;
        if (!stopped_ && !log_.complete) {
            out_->stopLine = log_.stopLine;
            out_->stopReason = log_.stopReason;
        }
        // A trace that the end of the readable lines interrupts may have gone on.
        if (out_->stopLine != 0 && !out_->calls.empty() && !out_->calls.back().ended)
            out_->calls.back().cut = true;
    }

private:
    const LogLine* Peek() const { return at_ < end_ ? &log_.lines[at_] : nullptr; }

    bool Is(LineKind kind, std::string_view value = std::string_view()) const
    {
        const LogLine* line = Peek();
        return line && line->kind == kind && (value.empty() || line->value == value);
    }

    bool IsReport(std::string_view label) const { return Is(LineKind::kReport, label); }

    void Next()
    {
        ++at_;
        SkipBlanks();
    }

    void SkipBlanks()
    {
        while (at_ < end_ && log_.lines[at_].kind == LineKind::kBlank)
            ++at_;
    }

    // Whether the next line begins another call (or the lines end): the current trace
    // stops here.
    bool AtCallStart() const
    {
        const LogLine* line = Peek();
        if (!line)
            return true;
        switch (line->kind) {
        case LineKind::kDate:
            return true;
        case LineKind::kEntry:
            return line->value == "Init_Com" || line->value == "TelechargeComposant_COM"
                || line->value == "GetVersionComposant_COM" || line->value == "GetReferenceBoard_COM";
        case LineKind::kReport:
            return line->value == "Clean_ZR_COM";
        case LineKind::kExit:
            return line->value == "Init_Module_COM";
        default:
            return false;
        }
    }

    // The line that should come next is not there: the reading stops at it (unless the
    // lines have simply ended).
    // `line`: the expected line as the module writes it, quoted.
    bool Expect(LineKind kind, std::string_view value, std::string_view line)
    {
        return Expect(kind, value, Message::kReplayStopExpected, line);
    }

    // `why` says what should have come, with `detail` for its placeholder.
    bool Expect(LineKind kind, std::string_view value, Message why, std::string_view detail = {})
    {
        if (Is(kind, value)) {
            Next();
            return true;
        }
        if (at_ < end_)
            Stop(Say(why, {{"line", std::string(detail)}, {"call", std::string(detail)}}));
        return false;
    }

    Report TakeReport()
    {
        const LogLine& line = log_.lines[at_];
        Report report{true, line.com, line.general, at_};
        Next();
        return report;
    }

    void Stop(const std::string& reason)
    {
        stopped_ = true;
        end_ = at_;
        out_->stopLine = at_ + 1;
        out_->stopReason = reason;
    }

    // Calls come in order: the run only moves forward.
    std::size_t RunOf(std::size_t line)
    {
        while (run_ + 1 < log_.runs.size() && log_.runs[run_ + 1].first <= line)
            ++run_;
        return run_;
    }

    void ReadCall(FieldCall* call)
    {
        const LogLine& line = *Peek();
        if (line.kind == LineKind::kDate || (line.kind == LineKind::kEntry && line.value == "Init_Com")
            || (line.kind == LineKind::kExit && line.value == "Init_Module_COM")) {
            ReadInit(call);
        } else if (line.kind == LineKind::kEntry && line.value == "TelechargeComposant_COM") {
            ReadDownload(call);
        } else if (line.kind == LineKind::kEntry && line.value == "GetVersionComposant_COM") {
            ReadVersion(call);
        } else if (line.kind == LineKind::kEntry && line.value == "GetReferenceBoard_COM") {
            ReadReference(call);
        } else if (line.kind == LineKind::kReport && line.value == "Clean_ZR_COM") {
            call->call = HostCall::kClean;
            call->reach = Reach::kInSession;
            call->command = TakeReport();
            call->ended = true;
        }
    }

    void ReadInit(FieldCall* call)
    {
        call->call = HostCall::kInit;
        if (Is(LineKind::kDate)) {
            call->dated = true;
            Next();
            if (!Expect(LineKind::kEntry, "Init_Library", "\"Entre Init_Library\""))
                return;
            if (Is(LineKind::kHolderMissing)) {
                call->holderMissing = true;
                Next();
            } else if (!Expect(LineKind::kIniPath, "", "\"Path torvex.ini : ...\"")
                       || !Expect(LineKind::kLibraryPath, "", "\"Path Quelvane : ...\"")) {
                return;
            }
            if (!Is(LineKind::kStatus)) {
                Expect(LineKind::kStatus, "", "\"Status = ...\"");
                return;
            }
            call->status = Peek()->number;
            Next();
            if (!Expect(LineKind::kExit, "Init_Library", "\"Sort Init_Library\""))
                return;
            if (call->status == 1 && !Expect(LineKind::kEntry, "Init_Com", "\"Entre Init_Com\""))
                return;
            call->comRan = call->status == 1;
        } else if (Is(LineKind::kEntry, "Init_Com")) {
            call->comRan = true;
            Next();
        }
        if (call->comRan)
            ReadInitCom(call);
        if (Expect(LineKind::kExit, "Init_Module_COM", "\"Sort Init_Module_COM\"")
            && Expect(LineKind::kSeparator, "", Message::kReplayStopSeparator))
            call->ended = true;
    }

    void ReadInitCom(FieldCall* call)
    {
        const LogLine* line = Peek();
        if (line && line->kind == LineKind::kRouterCreated)
            call->router = RouterLine::kCreated;
        else if (line && line->kind == LineKind::kRouterFailed)
            call->router = RouterLine::kFailed;
        else if (line && line->kind == LineKind::kOccupied)
            call->router = RouterLine::kOccupied;
        else if (line && line->kind == LineKind::kSessionsUnread)
            call->router = RouterLine::kUnchecked;
        if (call->router != RouterLine::kNone) {
            call->routerAt = at_;
            Next();
        }
        if (IsReport("_InitialiseCommBoard_Exp"))
            call->boardInit = TakeReport();
        else if (IsReport("_OpenCommSession NOK"))
            call->initOpenFailed = TakeReport();
        if (Is(LineKind::kExit, "Init_Com")) {
            call->comEnded = true;
            Next();
        }
    }

    // "Entre X", the report "_ExecuteCommand X", "Sort X".
    bool ReadCommand(const char* name, Report* report)
    {
        if (!Is(LineKind::kEntry, name))
            return false;
        Next();
        std::string label = std::string("_ExecuteCommand ") + name;
        if (!IsReport(label)) {
            Expect(LineKind::kReport, label, Message::kReplayStopReport, name);
            return false;
        }
        *report = TakeReport();
        return Expect(LineKind::kExit, name, ("\"Sort " + std::string(name) + "\"").c_str());
    }

    // What follows the session's work: the exit line and the separator.
    void ReadEnd(FieldCall* call, const char* name)
    {
        if (Expect(LineKind::kExit, name, (std::string("\"Sort ") + name + "\"").c_str())
            && Expect(LineKind::kSeparator, "", Message::kReplayStopSeparator))
            call->ended = true;
    }

    // The session's opening: none (the trace stops), a failed one, or an open session.
    bool ReadOpening(FieldCall* call)
    {
        if (AtCallStart())
            return false;  // stopped: an entry point was missing
        if (IsReport("OpenCommSession NOK")) {
            call->reach = Reach::kOpenFailed;
            call->openFailed = TakeReport();
            return false;
        }
        call->reach = Reach::kInSession;
        return true;
    }

    void ReadDownload(FieldCall* call)
    {
        call->call = HostCall::kDownload;
        Next();
        if (!Is(LineKind::kDownloadPath)) {
            Expect(LineKind::kDownloadPath, "", "\"Path Telechargement : ...\"");
            return;
        }
        call->path = std::string(Peek()->value);
        Next();
        if (Is(LineKind::kFileBanner)) {
            call->hasBanner = true;
            call->banner = std::string(Peek()->value);
            Next();
        }
        if (ReadOpening(call)) {
            if (!ReadCommand("Reset_Board", &call->firstReset)) {
                Expect(LineKind::kEntry, "Reset_Board", Message::kReplayStopReset);
                return;
            }
            if (Is(LineKind::kFileUnread)) {
                call->fileUnread = true;
                Next();
            } else if (IsReport("_ExecuteCommand TelechargeComposant_COM")) {
                call->sent = TakeReport();
                if (Is(LineKind::kEntry, "Saut_Appli") && ReadCommand("Saut_Appli", &call->start)
                    && Is(LineKind::kEntry, "Reset_Board"))
                    ReadCommand("Reset_Board", &call->finalReset);
            }
        } else if (call->reach == Reach::kStopped) {
            return;
        }
        ReadEnd(call, "TelechargeComposant_COM");
    }

    void ReadVersion(FieldCall* call)
    {
        call->call = HostCall::kVersion;
        Next();
        if (ReadOpening(call)) {
            if (!IsReport("_ExecuteCommand GetVersionComposant_COM")) {
                Expect(LineKind::kReport, "_ExecuteCommand GetVersionComposant_COM", Message::kReplayStopVersionReport);
                return;
            }
            call->command = TakeReport();
            if (Is(LineKind::kBoardBanner)) {
                call->hasBanner = true;
                call->banner = std::string(Peek()->value);
                Next();
            } else if (Is(LineKind::kNoApplication)) {
                call->noApplication = true;
                Next();
            }
        } else if (call->reach == Reach::kStopped) {
            return;
        }
        ReadEnd(call, "GetVersionComposant_COM");
    }

    void ReadReference(FieldCall* call)
    {
        call->call = HostCall::kReference;
        Next();
        if (ReadOpening(call)) {
            if (Is(LineKind::kReference)) {
                call->hasReference = true;
                call->reference = std::string(Peek()->value);
                Next();
            }
            if (!IsReport("_BoardGetInfo")) {
                Expect(LineKind::kReport, "_BoardGetInfo", Message::kReplayStopInfoReport);
                return;
            }
            call->command = TakeReport();
        } else if (call->reach == Reach::kStopped) {
            return;
        }
        ReadEnd(call, "GetReferenceBoard_COM");
    }

    const FieldLog& log_;
    FieldCalls* out_;
    std::size_t end_;
    std::size_t at_ = 0;
    std::size_t run_ = 0;
    bool stopped_ = false;
};

}  // namespace

FieldCalls ReadFieldCalls(const FieldLog& log)
{
    FieldCalls calls;
    if (log.runs.empty())
        return calls;
    CallReader(log, &calls).ReadAll();
    return calls;
}

}  // namespace torvexreplay
