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
    {Message::kWindowManifestRefused,
     "This file is refused: {reason}.\r\nNothing was written; the board is unchanged.\r\n{advice}"},

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

    {Message::kOlderThanWritten,
     "the file's version {version} is older than {carried}, which {who} wrote into this board at {when} from {path}"},
    {Message::kOlderThanFound,
     "the file's version {version} is older than {carried}, which {who} found on this board at {when} (from {path})"},

    {Message::kManifestSigner, "{key_file} (key {fingerprint})"},
    {Message::kManifestNone, "no manifest"},
    {Message::kManifestMatches, "size, SHA-256 and banner match its manifest"},
    {Message::kManifestMatchesVersion, "size, SHA-256 and banner match its manifest (version {version})"},
    {Message::kManifestMatchesSigned, "size, SHA-256 and banner match its manifest; its manifest is signed by {signer}"},
    {Message::kManifestMatchesVersionSigned,
     "size, SHA-256 and banner match its manifest (version {version}); its manifest is signed by {signer}"},
    {Message::kManifestSignedBy, "its manifest is signed by {signer}"},
    {Message::kManifestNotSigned, "its manifest is not signed"},
    {Message::kManifestMalformed, "its manifest {manifest_name} is malformed: {problem}"},
    {Message::kManifestMissingRequired,
     "it has no manifest ({manifest_name}), and this site writes only files whose manifest one of its trusted keys "
     "signed"},
    {Message::kManifestMissingNamedKey, "it has no manifest ({manifest_name}), so {key_file} did not sign it"},
    {Message::kManifestUnsignedRequired,
     "its manifest is not signed, and this site writes only files whose manifest one of its trusted keys signed"},
    {Message::kManifestUnsignedNamedKey, "its manifest is not signed, so {key_file} did not sign it"},
    {Message::kManifestUntrustedSigner,
     "its manifest is signed by key {fingerprint}, which is not among this site's trusted keys"},
    {Message::kManifestOtherThanNamedKey,
     "its manifest is signed by key {fingerprint}, not by {key_file} (key {key_fingerprint})"},
    {Message::kManifestEdited,
     "its manifest was edited after {signer} signed it: the signature does not match its content"},
    {Message::kManifestKeyRefused, "the trusted key {key_file} is refused by the system's cryptography"},
    {Message::kManifestSignatureMalformed, "its signature is malformed: {problem}"},
    {Message::kManifestSizeShort, "the file is {file_size} bytes, its manifest says {manifest_size}: the copy is incomplete"},
    {Message::kManifestSizeLong,
     "the file is {file_size} bytes, its manifest says {manifest_size}: it has {extra} bytes more than its maker "
     "released"},
    {Message::kManifestDigestUnreadable, "the file cannot be read to compare its SHA-256 with its manifest's"},
    {Message::kManifestSha256,
     "the file's SHA-256 is {file_sha256}, its manifest says {manifest_sha256}: the file was changed or damaged after "
     "its maker released it"},
    {Message::kManifestBanner,
     "field {field} of the file's banner is \"{file_field}\", its manifest says \"{manifest_field}\": the manifest "
     "does not describe this file"},
    {Message::kManifestWrongBoard, "the board's reference is \"{reference}\", and the file is meant for {patterns} only"},
    {Message::kManifestWrongBoardUnknown, "the board's reference is unknown, and the file is meant for {patterns} only"},
    {Message::kManifestOlderVersion, "the file's version {version} is older than {carried}, which the board carries"},

    {Message::kRemarkNoManifest, "it has no manifest ({manifest_name}): its completeness could not be checked"},
    {Message::kRemarkWrittenAnyway, "{reason}: written anyway, as asked"},
    {Message::kRemarkSignatureNotChecked,
     "its signature was not checked: this site has no trusted keys ({keys_folder} holds none); the manifest names key "
     "{fingerprint} as its signer"},
    {Message::kRemarkMalformedNotChecked,
     "{reason}; this site has no trusted keys ({keys_folder} holds none), so the signature was not checked"},
    {Message::kRemarkOtherFileName, "its manifest was written for a file named \"{name}\""},
    {Message::kRemarkVersionNotCompared, "the board's release version \"{carried}\" is not a semantic version: not compared"},
    {Message::kRemarkKeysFolderUnreadable, "the trusted keys folder {keys_folder} cannot be read"},
    {Message::kRemarkTooManyKeys, "only the first {limit} of {count} key files are read"},
    {Message::kRemarkKeySkipped, "trusted key {key_file} skipped: {problem}"},
    {Message::kProblemKeyFileUnreadable, "it cannot be read or is larger than {kib} KiB"},
    {Message::kProblemNoFingerprint, "its fingerprint cannot be computed"},
    {Message::kProblemNamedKeyUnusable, "the key {key_file} cannot be used: {problem}"},

    {Message::kHeadlineManifestMalformed, "Nothing written: the file's manifest cannot be read"},
    {Message::kHeadlineNoTrustedSignature, "Nothing written: no manifest signed by a key this site trusts"},
    {Message::kHeadlineUntrustedKey, "Nothing written: signed by a key this site does not trust"},
    {Message::kHeadlineEdited, "Nothing written: its manifest was changed after it was signed"},
    {Message::kHeadlineSignatureMalformed, "Nothing written: the manifest's signature cannot be read"},
    {Message::kHeadlineDamagedCopy, "Nothing written: this copy of the file is incomplete or damaged"},
    {Message::kHeadlineBannerNotItsOwn, "Nothing written: the manifest beside the file is not its own"},
    {Message::kHeadlineWrongBoard, "Nothing written: the file is not meant for this board"},
    {Message::kHeadlineOlderVersion, "Nothing written: an older release than the one the board carries"},
    {Message::kAdviceConsoleGetAgain, "get the file and its manifest again from their maker"},
    {Message::kAdviceConsoleNoManifest,
     "ask the file's maker for its manifest, signed with a key this site trusts, and put it beside the file; to write "
     "the file without one anyway, add --allow-unsigned (unsafe)"},
    {Message::kAdviceConsoleUnsigned,
     "ask the file's maker for a manifest signed with a key this site trusts; to write the file anyway, add "
     "--allow-unsigned (unsafe)"},
    {Message::kAdviceConsoleUntrustedKey,
     "if this signer's files may be written here, ask whoever manages this site's trusted keys to add its public key "
     "to {keys_folder}; to write this file anyway, add --allow-unsigned (unsafe)"},
    {Message::kAdviceConsoleEdited,
     "get the file and its manifest again from their maker (nothing lets an edited manifest through)"},
    {Message::kAdviceConsoleCopyAgain, "copy the file again from its source, with its manifest"},
    {Message::kAdviceConsoleBanner,
     "check that the manifest beside the file is its own, or get both again from their maker"},
    {Message::kAdviceConsoleWrongBoard, "check that the file is meant for this board, or connect the board it is meant for"},
    {Message::kAdviceConsoleOlderVersion,
     "choose the board's release or a newer one; to go back to this older release on purpose, add --allow-older "
     "(unsafe)"},
    {Message::kAdviceWindowGetAgain, "Next: get the file and its manifest again from their maker."},
    {Message::kAdviceWindowNoManifest,
     "Next: ask the file's maker for its manifest, signed with a key this site trusts, and put it beside the file. To "
     "write the file without one anyway, tick Allow unsigned (unsafe)."},
    {Message::kAdviceWindowUnsigned,
     "Next: ask the file's maker for a manifest signed with a key this site trusts. To write the file anyway, tick "
     "Allow unsigned (unsafe)."},
    {Message::kAdviceWindowUntrustedKey,
     "Next: if this signer's files may be written here, ask whoever manages this site's trusted keys to add its "
     "public key to {keys_folder}. To write this file anyway, tick Allow unsigned (unsafe)."},
    {Message::kAdviceWindowEdited,
     "Next: get the file and its manifest again from their maker (nothing lets an edited manifest through)."},
    {Message::kAdviceWindowCopyAgain, "Next: copy the file again from its source, with its manifest."},
    {Message::kAdviceWindowBanner,
     "Next: check that the manifest beside the file is its own, or get both again from their maker."},
    {Message::kAdviceWindowWrongBoard,
     "Next: check that the file is meant for this board, or connect the board it is meant for."},
    {Message::kAdviceWindowOlderVersion,
     "Next: choose the board's release or a newer one. To go back to this older release on purpose, tick Allow older "
     "(unsafe)."},
    {Message::kConsoleManifestRefused, "{file} is refused: {reason}; nothing was written: {advice}"},
    {Message::kConsoleCheckFails, "{file} does not pass: {reason}"},
    {Message::kConsoleSignerNotChecked,
     "not checked: no trusted keys are installed; it names key {fingerprint} (--key PUBLIC.pem checks it against "
     "that key)"},
    {Message::kConsoleSignerNone, "none: the manifest is not signed"},
    {Message::kConsoleSignerMalformed, "not checked: its signature cannot be read"},
    {Message::kConsoleSignerNamedKey, "{signer}, the key named with --key"},
    {Message::kWindowManifestRefusesFile,
     "This file is refused: {reason}.\r\nUpdate stays off; the board is unchanged.\r\n{advice}"},
    {Message::kWindowManifestBoxRefused, "\xE2\x9C\x96 Refused: {reason}."},
    {Message::kWindowManifestBoxMatches, "\xE2\x9C\x94 Size, SHA-256 and banner match its manifest."},
    {Message::kWindowManifestBoxMatchesVersion,
     "\xE2\x9C\x94 Size, SHA-256 and banner match its manifest (version {version})."},
    {Message::kWindowManifestBoxSigner, "Signed by {signer}."},
    {Message::kWindowMakerNotes, "From its maker: {notes}"},

    {Message::kHeadlineBoardBusy, "The board is busy"},
    {Message::kWindowBoardInUseAtStart,
     "The board is in use by another program: {holder}.\n\nNothing was done. Wait until it has finished, then start "
     "Torvex board update again."},
    {Message::kWindowBoardInUseRefresh,
     "The board is in use by another program: {holder}.\r\nNothing was done. Press Refresh when it has finished."},
    {Message::kWindowBoardInUseUpdate,
     "The board is in use by another program: {holder}.\r\nNothing was done. Press Update again when it has "
     "finished."},
    {Message::kWindowTitle, "Torvex board update {version}"},
    {Message::kWindowModuleVersion, "Module: torvex.dll {version}"},
    {Message::kWindowModuleVersionUnknown, "Module: torvex.dll (its version cannot be read)"},
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
