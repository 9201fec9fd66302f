// The catalogue in English: one entry a message, in the order of the Message enumeration.
#include "words/messages.h"

#include <cstddef>

namespace torvexupdate {

namespace {

struct Entry {
    Message message;
    const char* text;
};

// clang-format off
constexpr Entry kEnglish[] = {
    {Message::kNone, ""},
    {Message::kWordFileUnreadable, "file unreadable"},
    {Message::kWordFileEmpty, "file empty"},
    {Message::kWordNotApplication, "not an application"},
    {Message::kWordPathUnusable, "path unusable"},
    {Message::kWordBoardUnavailable, "board unavailable"},
    {Message::kWordSkipped, "skipped"},
    {Message::kWordAccepted, "accepted"},
    {Message::kWordVerifyMismatch, "verify: mismatch"},
    {Message::kWordVerifyFailed, "verify: failed"},
    {Message::kWordRefused, "refused: board"},
    {Message::kWordFailed, "failed"},
    {Message::kWordManifestRefused, "refused: manifest"},
    {Message::kWordInterrupted, "interrupted"},
    {Message::kWordRunning, "running"},

    {Message::kHeadlineAccepted, "Update done: the board runs the new application"},
    {Message::kHeadlineAcceptedUnverified, "Update done: the board accepted and started the file"},
    {Message::kHeadlineSkipped, "Nothing to do: the board already carries this application"},
    {Message::kHeadlineNotApplication, "Nothing written: this is not an application file"},
    {Message::kHeadlinePathUnusable, "Nothing written: the file's path cannot be handed to the module"},
    {Message::kHeadlineFileUnreadable, "Nothing written: the file cannot be read or is empty"},
    {Message::kHeadlineManifestRefused, "Nothing written: the file's manifest refuses it"},
    {Message::kHeadlineBoardUnavailable, "Update failed: the board could not be reached"},
    {Message::kHeadlineVerifyMismatch, "Update failed: the board reports another application than the file's"},
    {Message::kHeadlineVerifyFailed, "Written, but what the board runs could not be read back"},
    {Message::kHeadlineRefused, "Refused by the board: {after_failure}"},
    {Message::kHeadlineFailed, "Update failed: {after_failure}"},
    {Message::kHeadlineInterrupted, "The last write into this board did not finish"},
    {Message::kHeadlineRunning, "An update of this board is running"},
    {Message::kHeadlineWriteFailed, "The last write into this board failed"},

    {Message::kRecordFileUnreadable, "the file could not be read; nothing was written"},
    {Message::kRecordFileEmpty, "the file is empty; nothing was written"},
    {Message::kRecordNotApplication, "the file is not an application; nothing was written"},
    {Message::kRecordPathUnusable, "the file's path cannot be handed to the module; nothing was written"},
    {Message::kRecordBoardUnavailable, "the module or the board could not be initialised; nothing was written"},
    {Message::kRecordSkipped, "the board already carries this application; nothing was written"},
    {Message::kRecordAccepted, "accepted, application started"},
    {Message::kRecordAcceptedVerified, "accepted, application started; the board reports the file's banner"},
    {Message::kRecordVerifyMismatch, "accepted, but the board reports another banner than the file's"},
    {Message::kRecordVerifyFailed, "accepted, but the board's banner could not be read back"},
    {Message::kRecordManifestRefused, "{reason}; nothing was written"},
    {Message::kRecordDownloadFailed, "{download_result}; {after_failure}"},
    {Message::kRecordInterrupted, "stopped before the end: the board may hold an incomplete application"},
    {Message::kRecordRunning, "running since {since}, {who}"},

    {Message::kWindowAccepted,
     "Done: the board now runs {banner}; it reports the file's banner back.\r\nNothing more to do."},
    {Message::kWindowAcceptedUnverified,
     "Done: the board accepted the file and started it (its banner was not compared).\r\nPress Refresh to see what "
     "the board reports."},
    {Message::kWindowSkipped,
     "Nothing written: the board already carries this application, {banner}.\r\nTick Force to write it again "
     "anyway."},
    {Message::kWindowNotApplication, "Nothing written: the file is not an application ({reason}).\r\nChoose the right file."},
    {Message::kWindowPathUnusable,
     "Nothing written: the module cannot be given this file's path ({reason}).\r\nCopy or rename the file to a path in "
     "plain letters."},
    {Message::kWindowFileUnreadable, "Nothing written: the file cannot be read or is empty.\r\nChoose another file."},
    {Message::kWindowBoardUnavailable,
     "Nothing written: the board could not be reached.\r\nCheck the connection and torvex.ini, then start this "
     "program again."},
    {Message::kWindowVerifyMismatch,
     "Written, but the board reports {board_now} instead of the file's banner.\r\nNext: update again; if it happens "
     "again, look at Torvex.log."},
    {Message::kWindowVerifyFailed,
     "Written and started, but the board's banner could not be read back.\r\nNext: press Refresh to check what the "
     "board carries."},
    {Message::kWindowManifestRefused, "Nothing written: {reason}.\r\nNext: {advice}"},

    {Message::kConsoleFileEmpty, "application file {path} is empty: nothing to download"},
    {Message::kConsoleNotApplication,
     "{path} is not an application file: {reason}; nothing was written: check that this is the file you meant, or "
     "add --force to download it anyway"},
    {Message::kConsolePathUnusable,
     "the path {full_path} cannot be handed to the module: {reason}; nothing was written: copy or rename the file to a "
     "path in plain letters"},
    {Message::kConsoleSkipped,
     "skipped: the board already carries this application; nothing was written (add --force to download it again)"},

    {Message::kBoardAfterUnchangedRecord, "the board is unchanged"},
    {Message::kBoardAfterUnchangedHeadline, "the board is unchanged"},
    {Message::kBoardAfterRefusedUnchangedWindow,
     "Refused by the board: {download_result}. Nothing was changed; the board still carries {board_now}.\r\nNext: check "
     "that this file is meant for this board."},
    {Message::kBoardAfterUnchangedWindow,
     "The download failed: {download_result}. Nothing was changed; the board still carries {board_now}.\r\nNext: check the "
     "connection, then press Update again."},
    {Message::kBoardAfterWrittenNotStartedRecord, "written but not started"},
    {Message::kBoardAfterWrittenNotStartedHeadline, "written but not started"},
    {Message::kBoardAfterWrittenNotStartedWindow,
     "Written but not started: {download_result}. The board carries {banner} but could not start it.\r\nNext: restart "
     "the board, then press Refresh; if it does not run, update again."},
    {Message::kBoardAfterEmptyRecord, "no application in flash"},
    {Message::kBoardAfterEmptyHeadline, "the board has no application now"},
    {Message::kBoardAfterEmptyWindow,
     "The download failed: {download_result}. The board now has no application.\r\nNext: update again with a good file "
     "before restarting the board."},
    {Message::kBoardAfterOtherRecord, "the board carries another application"},
    {Message::kBoardAfterOtherHeadline, "the board carries another application"},
    {Message::kBoardAfterOtherWindow,
     "The download failed: {download_result}. The board carries another application: {board_now}.\r\nNext: update again."},
    {Message::kBoardAfterUnknownRecord, "what the board carries could not be read"},
    {Message::kBoardAfterUnknownHeadline, "what the board carries is unknown"},
    {Message::kBoardAfterUnknownWindow,
     "The download failed: {download_result}. What the board carries could not be read.\r\nNext: press Refresh before "
     "restarting the board."},

    {Message::kInterruptedNotice,
     "the last write into board {reference} did not finish: {who} started writing {path} into it at {when} and was "
     "stopped before the end. The board may hold an incomplete application, even if its banner looks right: {next}"},
    {Message::kFailedWriteNotice,
     "the last write into board {reference} failed: {who} was writing {path} into it at {when} ({result}). The board "
     "may hold an incomplete application, even if its banner looks right: {next}"},
    {Message::kRunningWindow,
     "An update is {running}, writing {path}; nothing was done here.\r\nPress Refresh when it has finished."},
    {Message::kProgramOnStation, "{who} on {station}"},
    {Message::kOperatorWithProgram, "{operator} with {who}"},

    {Message::kNextQueryWriteAgain, "download the application again (torvexctl download FILE) before using the board"},
    {Message::kNextDownloadWritesInFull, "this download writes the file in full"},
    {Message::kNextWindowWriteAgain,
     "choose the application file and press Update to write it again before using the board."},
    {Message::kNextUpdateWritesInFull, "this update writes the file in full."},

    {Message::kWriteAgainInterrupted,
     "the last write into this board ({when}, {path}) was interrupted, so the board may hold an incomplete "
     "application under this banner"},
    {Message::kWriteAgainFailed,
     "the last write into this board ({when}, {path}) failed ({result}), so the board may hold an incomplete "
     "application under this banner"},
    {Message::kWriteAgainNotCompared,
     "the last write into this board ({when}, {path}) was not compared with what the board reports, so nothing shows "
     "that it holds this file"},
    {Message::kWriteAgainEnded, "the last write into this board ({when}, {path}) ended {outcome}: {result}"},
    {Message::kWriteAgainOtherBytes,
     "the last application written into this board under this banner ({when}, {path}) had other bytes than this file "
     "(SHA-256 {recorded}..., this file's {sha256}...)"},
    {Message::kWriteAgainOtherApplication,
     "the last application written into this board ({when}, {path}) was another one ({banner}), so the history does "
     "not show which bytes the board holds under this banner"},

    {Message::kOlderThanCarried, "the file's version {version} is older than {floor}, which the board carries"},
    {Message::kOlderThanWritten,
     "the file's version {version} is older than {floor}, which {who} wrote into this board at {when} from {path}"},
    {Message::kOlderThanFound,
     "the file's version {version} is older than {floor}, which {who} found on this board at {when} (from {path})"},
};
// clang-format on

constexpr bool EveryMessageInOrder()
{
    if (std::size(kEnglish) != static_cast<std::size_t>(Message::kCount))
        return false;
    for (std::size_t i = 0; i < std::size(kEnglish); ++i)
        if (static_cast<std::size_t>(kEnglish[i].message) != i)
            return false;
    return true;
}
static_assert(EveryMessageInOrder(), "one English entry for each message, in the enumeration's order");

}  // namespace

std::string Say(Message message, std::initializer_list<Placeholder> values)
{
    std::size_t index = static_cast<std::size_t>(message);
    std::string text = index < std::size(kEnglish) ? kEnglish[index].text : "";
    std::string said;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t open = text.find('{', at);
        std::size_t close = open == std::string::npos ? std::string::npos : text.find('}', open);
        if (close == std::string::npos) {
            said += text.substr(at);
            break;
        }
        said += text.substr(at, open - at);
        std::string name = text.substr(open + 1, close - open - 1);
        const Placeholder* given = nullptr;
        for (const Placeholder& value : values)
            if (name == value.name)
                given = &value;
        said += given != nullptr ? given->value : text.substr(open, close - open + 1);
        at = close + 1;
    }
    return said;
}

}  // namespace torvexupdate
