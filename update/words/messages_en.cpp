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
    {Message::kHeadlineInterrupted, "The last update of this board did not finish"},
    {Message::kHeadlineRunning, "An update of this board is running"},

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
    {Message::kRecordRunning, "still running: its program holds the board interface"},

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
     "the last update of board {reference} did not finish: {who} started writing {path} into it at {when} and was "
     "stopped before the end. The board may hold an incomplete application, even if its banner looks right: {next}"},
    {Message::kProgramOnStation, "{who} on {station}"},

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
    // A field log replayed.
    {Message::kReplayLogUnreadable, "cannot read {log}"},
    {Message::kReplayLogUnreadableWhy, "cannot read {log}: {problem}"},
    {Message::kReplayLogTooLarge, "{log} is {size} bytes long: larger than any Torvex.log (the module empties its log once it passes 5,000,000 bytes)"},
    {Message::kReplayLogRefused, "{log}: {reason}"},
    {Message::kReplayLogEmpty, "the log is empty: the module has written nothing into it"},
    {Message::kReplayBytesTooLarge, "the file is {size} bytes long: larger than any Torvex.log (the module empties its log once it passes 5,000,000 bytes)"},
    {Message::kReplayNotTorvexLog, "this is not a Torvex.log: its first line is no line the module writes"},
    {Message::kReplayNoRun, "the log holds no run: no line \"Today's date and time: ...\", which every initialisation of the module writes first"},
    {Message::kReplayNoRunReadTo, "the log holds no run: no line \"Today's date and time: ...\", which every initialisation of the module writes first (read up to line {line}: {reason})"},
    {Message::kReplayStopCut, "the log ends in the middle of this line (cut short while it was copied, or written when the program stopped)"},
    {Message::kReplayStopTooLong, "the line is longer than any line the module writes"},
    {Message::kReplayStopZeroByte, "the line holds a zero byte, which no line of the module holds"},
    {Message::kReplayStopUnknownLine, "no line the module writes reads so"},
    {Message::kReplayStopNoCall, "no call of the module begins with this line"},
    {Message::kReplayStopExpected, "the module writes {line} here"},
    {Message::kReplayStopSeparator, "the module writes the separator line here"},
    {Message::kReplayStopReport, "the module writes the report of {call} here"},
    {Message::kReplayStopReset, "the module writes the board's reset (\"Entre Reset_Board\") here"},
    {Message::kReplayStopVersionReport, "the module writes the version command's report here"},
    {Message::kReplayStopInfoReport, "the module writes the \"_BoardGetInfo\" report here"},
    {Message::kReplayNoSuchRunOne, "run {run}: the log holds 1 run"},
    {Message::kReplayNoSuchRun, "run {run}: the log holds {count} runs"},
    {Message::kReplayNoCallReadable, "no call of the log can be read: line {line}: {reason}"},
    {Message::kReplayRunPastStop, "run {run} begins at line {line}, past line {stop_line} where the log stops being readable ({reason})"},
    {Message::kReplayRunGoesOn, "run {run} goes on in the process of run {first_run} ({because}): the replay begins there"},
    {Message::kReplayBecauseRouter, "the router already existed when the module initialised again"},
    {Message::kReplayBecauseLibrary, "the library was still in use although it did not load again"},
    {Message::kReplayLeadingLines, "the log begins with {count} lines of a run whose beginning it no longer holds (the module empties its log once it passes 5,000,000 bytes): they are left out"},
    {Message::kReplayNoteNoOwnFolder, "an initialisation without its Init_Library lines: the module found no folder of its own, which a replay cannot bring about"},
    {Message::kReplayNoteSkipsLibrary, "an initialisation that skips Init_Library: the module had already been initialised in this process, which the lines before do not show"},
    {Message::kReplayNoteHolderMemory, "the module ran out of memory for the library holder, which a replay cannot bring about"},
    {Message::kReplayNoteStatus, "Status = {status}: the module writes 0 or 1 there"},
    {Message::kReplayNoteRouterBefore, "the router already existed, but no initialisation before in this process made it (the process began before the log's first line)"},
    {Message::kReplayNoteNoRouter, "the field's communication library has no _CreateRouter (initialisation stops right after \"Entre Init_Com\"): the simulator has all nine entry points and cannot stand in for that library"},
    {Message::kReplayNoteSessionMemory, "the module ran out of memory for the session table, which a replay cannot bring about"},
    {Message::kReplayNoteRouterAgain, "the module tried the router again, which it made earlier in this process"},
    {Message::kReplayNoteNoInitComEnd, "the field's library lacks _OpenCommSession or _InitialiseCommBoard_Exp (\"Sort Init_Com\" is missing): the simulator has all nine entry points and cannot stand in for that library"},
    {Message::kReplayNoteNoBoardInit, "the field's library lacks _OpenCommSession or _InitialiseCommBoard_Exp (the initialisation stops before the board's): the simulator has all nine entry points and cannot stand in for that library"},
    {Message::kReplayNoteNotLoaded, "this call uses the communication library, which no initialisation of this process loaded (the process began before the log's first line)"},
    {Message::kReplayNoteLacks, "the field's library lacks {entry_point} (the call stops after its first lines): the simulator has all nine entry points and cannot stand in for that library"},
    {Message::kReplayNoteLacksEither, "the field's library lacks {entry_point} or {other} (the call stops after its first lines): the simulator has all nine entry points and cannot stand in for that library"},
    {Message::kReplayNoteFileUnread, "\"Fichier Appli.COM vide\": the file changed between the module measuring it and reading it (or memory ran out), which a replay cannot bring about"},
    {Message::kReplayNoteNoVersionBanner, "no banner of 48 bytes decodes to this line"},
    {Message::kReplayNoteNoFileBanner, "no application file's banner decodes to this line"},
    {Message::kReplayFileWithBanner, "made with the banner the log shows (the rest of the file is not in the log)"},
    {Message::kReplayFileShort, "57 bytes: the log shows it sent without a banner, so the file held 1 to 57 bytes"},
    {Message::kReplayFileNothingSent, "empty: the log shows nothing sent, so the file was missing or empty"},
    {Message::kReplayFileNotRead, "empty: the log stops before the file is read (a file missing, empty or of up to 57 bytes logs the same)"},
    {Message::kReplayFolderUnnamed, "--into needs a folder"},
    {Message::kReplayFolderLink, "{folder} is a link: the replay writes only into a folder of its own"},
    {Message::kReplayFolderNotFolder, "{folder} exists and is not a folder"},
    {Message::kReplayFolderNotEmpty, "{folder} exists and is not empty: the replay writes a whole setup there; name a new folder"},
    {Message::kReplayFolderNoParent, "the folder that would hold {folder} ({parent}) does not exist"},
    {Message::kReplayFolderNotMade, "cannot make the folder {folder}: {problem}"},
    {Message::kReplayToolMissing, "{tool} is missing: the replay's setup is made of it"},
    {Message::kReplaySetupCopy, "cannot copy {file} into the setup: {problem}"},
    {Message::kReplaySetupWrite, "cannot write the setup into {folder}"},
    {Message::kReplayCallsStatus, "torvexcalls ended with status {status}: {last_line}"},
    {Message::kReplayNoReplayLog, "the module in the setup wrote no Torvex.log (a folder whose path holds characters outside the system's code page keeps the module from finding itself: choose another folder)"},
    {Message::kReplayScriptRefused, "the simulator refused its script: {refusal}"},
    {Message::kReplayNoteAtLine, "{why} (line {line})"},
    {Message::kReplayLonger, "the replay wrote more lines than the field log holds"},
    {Message::kReplayAnotherLine, "the replay made the module write another line here; the setup shows what was tried: the calls ({calls}), the board's answers ({script}) and what the board received ({journal})"},
    {Message::kReplayNoCallLine, "line {line}: \"{text}\" is no call (process, library absent, library present, init, download PATH, version, reference, clean)"},
    {Message::kReplayCannotStart, "cannot start {program}: {problem}"},
    {Message::kReplayCannotStartIn, "cannot start {program} in {folder}"},
    {Message::kReplayCannotWait, "cannot wait for {program}: {problem}"},
    {Message::kReplayEndedBySignal, "{program} was ended by signal {signal}"},
    {Message::kReplayEndedByException, "{program} ended with the exception {code}"},
    {Message::kReplayCannotWriteFile, "cannot write {file}: {problem}"},
    {Message::kReplaySystemError, "system error {code}"},
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
