#include "history/board_account.h"

#include "history/outcome_table.h"
#include "history/result_words.h"
#include "module/module_exports.h"

#include "system/text.h"

#include <algorithm>
#include <map>

namespace torvexupdate {

namespace {

std::string Shown(const std::string& text)
{
    return text.empty() ? "?" : text;
}

bool Is(const Record& attempt, const char* outcome)
{
    return FieldText(attempt, field::kOutcome) == outcome;
}

// The first digits of a digest, enough for a person to tell two apart.
std::string DigestStart(const std::string& sha256)
{
    return sha256.empty() ? "?" : sha256.substr(0, 12);
}

// A release written past the trust check: without a trusted signature, or forced.
bool PastTheTrustCheck(const Record& attempt)
{
    const Record* manifest = FieldObject(attempt, field::kManifest);
    if (manifest == nullptr || FieldObject(*manifest, field::kSigner) == nullptr || FieldFlag(attempt, field::kForced))
        return true;
    std::vector<std::string> overrides = FieldTexts(*manifest, field::kOverrides);
    return std::find(overrides.begin(), overrides.end(), kAllowUnsignedName) != overrides.end();
}

// The board took the file's release, or was found carrying it: what the floor is made of.
bool SetsTheFloor(const Record& attempt, bool siteTrustsKeys)
{
    bool took = Is(attempt, outcome_name::kAccepted) || Is(attempt, outcome_name::kVerifyFailed)
        || Is(attempt, outcome_name::kSkipped);
    return took && !(siteTrustsKeys && PastTheTrustCheck(attempt));
}

std::string FloorVersionOf(const Record& attempt)
{
    const Record* manifest = FieldObject(attempt, field::kManifest);
    return manifest != nullptr ? FieldText(*manifest, field::kVersion) : std::string();
}

}  // namespace

Write WriteOf(const Record& attempt)
{
    if (Is(attempt, outcome_name::kRunning))
        return Write::kRunning;
    if (Is(attempt, outcome_name::kInterrupted))
        return Write::kIncomplete;
    const Record* result = FieldObject(attempt, field::kResult);
    std::optional<long long> code = result != nullptr ? FieldNumber(*result, field::kCode) : std::nullopt;
    if (!code)
        return Write::kNone;  // the module was never given the file
    if (Is(attempt, outcome_name::kRefused)) {
        // Refused at once, the flash is as it was; refused after a retry, the transfers
        // before it failed on the link, part way perhaps.
        std::optional<long long> tries = FieldNumber(attempt, field::kAttempts);
        return tries && *tries > 1 ? Write::kIncomplete : Write::kNone;
    }
    if (Is(attempt, outcome_name::kAccepted)) {
        std::string after = FieldText(attempt, field::kBannerAfter);
        return !after.empty() && after == FieldText(attempt, field::kFileBanner) ? Write::kVerified
                                                                                 : Write::kUnverified;
    }
    if (Is(attempt, outcome_name::kVerifyMismatch) || Is(attempt, outcome_name::kVerifyFailed))
        return Write::kUnverified;
    return DownloadAccepted(static_cast<int>(*code)) ? Write::kUnverified
                                                     : Write::kIncomplete;  // failed, or an outcome of a newer program
}

namespace {

// The account as it is worked out: positions in the attempts, copied once at the end.
struct Tally {
    const Record* lastWrite = nullptr;
    Write lastWriteKind = Write::kNone;
    const Record* incompleteSince = nullptr;
    const Record* running = nullptr;
    const Record* floorFrom = nullptr;  // the newest attempt that set the floor (its version may be "")

    void Add(const Record& attempt, bool siteTrustsKeys)
    {
        Write write = WriteOf(attempt);
        if (write == Write::kRunning)
            running = &attempt;
        if (write != Write::kNone) {
            lastWrite = &attempt;
            lastWriteKind = write;
        }
        if (write == Write::kVerified || write == Write::kUnverified)
            incompleteSince = nullptr;
        else if ((write == Write::kIncomplete || write == Write::kRunning) && incompleteSince == nullptr)
            incompleteSince = &attempt;
        if (SetsTheFloor(attempt, siteTrustsKeys))
            floorFrom = &attempt;
    }

    BoardAccount Account(const std::string& board) const
    {
        auto copy = [](const Record* attempt) { return attempt ? std::optional<Record>(*attempt) : std::nullopt; };
        BoardAccount account;
        account.board = board;
        account.lastWrite = copy(lastWrite);
        account.lastWriteKind = lastWriteKind;
        account.incompleteSince = copy(incompleteSince);
        account.running = copy(running);
        account.floorVersion = floorFrom != nullptr ? FloorVersionOf(*floorFrom) : std::string();
        account.floorFrom = account.floorVersion.empty() ? std::nullopt : copy(floorFrom);
        return account;
    }
};

}  // namespace

BoardAccount AccountOf(const std::vector<Record>& attempts, const std::string& board, bool siteTrustsKeys)
{
    Tally tally;
    for (const Record& attempt : attempts)
        if (!board.empty() && FieldText(attempt, field::kBoard) == board)
            tally.Add(attempt, siteTrustsKeys);
    return tally.Account(board);
}

std::vector<BoardAccount> AccountsOf(const std::vector<Record>& attempts, bool siteTrustsKeys)
{
    std::vector<std::string> boards;  // in the order they first appear
    std::map<std::string, Tally> tallies;
    for (const Record& attempt : attempts) {
        std::string board = FieldText(attempt, field::kBoard);
        if (board.empty())
            continue;
        auto [tally, added] = tallies.try_emplace(board);
        if (added)
            boards.push_back(board);
        tally->second.Add(attempt, siteTrustsKeys);
    }
    std::vector<BoardAccount> accounts;
    for (const std::string& board : boards)
        accounts.push_back(tallies[board].Account(board));
    return accounts;
}

BoardAccount ReadBoardAccount(const std::string& historyPath, const std::string& reference,
                              const std::optional<LockHolder>& holder, bool siteTrustsKeys)
{
    if (historyPath.empty() || reference.empty())
        return BoardAccount();
    return AccountOf(Attempts(ReadHistory(historyPath).records, holder), Cp1252ToUtf8(reference), siteTrustsKeys);
}

std::string WriteAgainBecause(const BoardAccount& account, const std::string& fileBanner, const std::string& sha256)
{
    if (!account.lastWrite)
        return std::string();  // the history knows no write of this board: nothing contradicts its banner
    const Record& last = *account.lastWrite;
    std::string when = Shown(FieldText(last, field::kTime));
    std::string path = Shown(FieldText(last, field::kFile));
    if (account.MayBeIncomplete())
        return Is(last, outcome_name::kInterrupted) || Is(last, outcome_name::kRunning)
            ? Say(Message::kWriteAgainInterrupted, {{"when", when}, {"path", path}})
            : Say(Message::kWriteAgainFailed, {{"when", when}, {"path", path}, {"result", Shown(ResultForPeople(last))}});
    if (account.lastWriteKind == Write::kUnverified)
        return Is(last, outcome_name::kAccepted)
            ? Say(Message::kWriteAgainNotCompared, {{"when", when}, {"path", path}})
            : Say(Message::kWriteAgainEnded,
                  {{"when", when},
                   {"path", path},
                   {"outcome", OutcomeWordOf(FieldText(last, field::kOutcome))},
                   {"result", Shown(ResultForPeople(last))}});
    std::string recorded = FieldText(last, field::kSha256);
    if (!sha256.empty() && recorded == sha256)
        return std::string();
    std::string banner = FieldText(last, field::kFileBanner);
    if (!fileBanner.empty() && banner == fileBanner)
        return Say(
            Message::kWriteAgainOtherBytes,
            {{"when", when}, {"path", path}, {"recorded", DigestStart(recorded)}, {"sha256", DigestStart(sha256)}});
    return Say(Message::kWriteAgainOtherApplication, {{"when", when}, {"path", path}, {"banner", Shown(banner)}});
}

std::string IncompleteWords(const BoardAccount& account, const std::string& next)
{
    if (!account.MayBeIncomplete() || !account.lastWrite)
        return std::string();
    const Record& last = *account.lastWrite;
    bool failed = WriteOf(last) == Write::kIncomplete && !Is(last, outcome_name::kInterrupted);
    return Say(failed ? Message::kFailedWriteNotice : Message::kInterruptedNotice,
               {{"reference", Shown(account.board)},
                {"who", WhoWords(last)},
                {"path", Shown(FieldText(last, field::kFile))},
                {"when", Shown(FieldText(last, field::kTime))},
                {"result", Shown(ResultForPeople(last))},
                {"next", next}});
}

VersionFloor FloorOf(const BoardAccount& account)
{
    VersionFloor floor;
    floor.version = account.floorVersion;
    if (!account.floorFrom)
        return floor;
    const Record& from = *account.floorFrom;
    floor.path = FieldText(from, field::kFile);
    floor.when = FieldText(from, field::kTime);
    floor.who = FieldText(from, field::kProgram).empty() ? std::string() : WhoWords(from);
    floor.found = Is(from, outcome_name::kSkipped);
    return floor;
}

}  // namespace torvexupdate
