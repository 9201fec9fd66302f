// Fuzzes the replay's readers with the same bytes: a field log comes from a technician's
// machine, a calls file from anyone's editor. Whatever the log, the reader either refuses
// it with a reason or reads lines the module writes, and the plan, the board's script and
// the calls come out without a crash. A banner line made back into banner bytes must
// decode, by the module's own rule, to that line.
#include "common/banner_columns.h"
#include "replay/banner_text.h"
#include "replay/board_script.h"
#include "replay/call_script.h"
#include "replay/log_compare.h"
#include "replay/log_reader.h"
#include "replay/replay_plan.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Names the check that failed, so that a crash report says which property broke.
void CheckAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "replay_fuzz.cpp:%d: check failed\n", line);
        std::abort();
    }
}
#define Check(c) CheckAt((c), __LINE__)

void CheckBanner(const std::string& text)
{
    std::string banner;
    if (!torvexreplay::BannerForText(text, 48, &banner))
        return;
    Check(banner.size() <= 48);
    char decoded[255] = {};
    DecodeFirmwareVersion(banner.data(), banner.size(), decoded, sizeof decoded);
    Check(text == decoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::vector<torvexreplay::ScriptedProcess> processes;
    std::string problem;
    if (!torvexreplay::ReadCallScript(bytes, &processes, &problem))
        Check(problem.compare(0, 5, "line ") == 0);

    torvexreplay::FieldLog log;
    std::string refusal;
    if (!torvexreplay::ReadFieldLog(bytes, &log, &refusal)) {
        Check(!refusal.empty());
        return 0;
    }
    Check(!log.runs.empty());
    for (const torvexreplay::LogLine& line : log.lines) {
        Check(line.kind != torvexreplay::LineKind::kUnknown);
        if (line.kind == torvexreplay::LineKind::kFileBanner || line.kind == torvexreplay::LineKind::kBoardBanner)
            CheckBanner(std::string(line.value));
    }
    // The last run, a run named by the data, and every run.
    torvexreplay::RunSelection selections[3];
    selections[1].run = size > 0 ? 1 + data[0] % (log.runs.size() + 1) : 1;
    selections[2].all = true;
    for (const torvexreplay::RunSelection& selection : selections) {
        torvexreplay::ReplayPlan plan;
        if (!torvexreplay::PlanReplay(log, selection, &plan, &refusal))
            continue;
        Check(plan.firstLine >= 1 && plan.firstLine < plan.endLine && plan.endLine <= log.lines.size() + 1);
        Check(!torvexreplay::BoardScript(plan.answers, {"fuzz"}).empty());
        torvexreplay::Comparison same = torvexreplay::CompareLogs(log, plan.firstLine - 1, plan.endLine - 1,
                                                                  plan.cutShort, log);
        // The log against itself: alike when the plan covers it all.
        Check(plan.firstLine != 1 || plan.endLine != log.lines.size() + 1 || same.same);
        for (const torvexreplay::LineNote& note : plan.notes)
            Check(torvexreplay::NoteFor(plan, note.line) != nullptr);
    }
    return 0;
}
