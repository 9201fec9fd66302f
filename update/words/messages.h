// The sentences the front ends show about an update's outcome, each one entry of a
// catalogue, with named placeholders ("{reason}") where it carries values. Callers name an
// entry and give its values; which language the entry is written in is the catalogue's
// business alone (English: messages_en.cpp).
#pragma once

#include <initializer_list>
#include <string>

namespace torvexupdate {

enum class Message {
    kNone,  // no sentence: the empty text
    // How an outcome reads in the history table and the window's list.
    kWordFileUnreadable,
    kWordFileEmpty,
    kWordNotApplication,
    kWordPathUnusable,
    kWordBoardUnavailable,
    kWordSkipped,
    kWordAccepted,
    kWordVerifyMismatch,
    kWordVerifyFailed,
    kWordRefused,
    kWordFailed,
    kWordManifestRefused,
    kWordInterrupted,
    kWordRunning,
    // The window's headline over an outcome.
    kHeadlineAccepted,
    kHeadlineAcceptedUnverified,
    kHeadlineSkipped,
    kHeadlineNotApplication,
    kHeadlinePathUnusable,
    kHeadlineFileUnreadable,
    kHeadlineManifestRefused,
    kHeadlineBoardUnavailable,
    kHeadlineVerifyMismatch,
    kHeadlineVerifyFailed,
    kHeadlineRefused,  // {after_failure}: an after-failure headline clause
    kHeadlineFailed,   // {after_failure}
    kHeadlineInterrupted,
    kHeadlineRunning,
    kHeadlineWriteFailed,  // the board's last write failed: it may hold an incomplete application
    // The record's result words: one sentence for the history.
    kRecordFileUnreadable,
    kRecordFileEmpty,
    kRecordNotApplication,
    kRecordPathUnusable,
    kRecordBoardUnavailable,
    kRecordSkipped,
    kRecordAccepted,
    kRecordAcceptedVerified,
    kRecordVerifyMismatch,
    kRecordVerifyFailed,
    kRecordManifestRefused,  // {reason}
    kRecordDownloadFailed,   // {download_result}, {after_failure}: an after-failure record clause
    kRecordInterrupted,
    kRecordRunning,  // {since}, {who}
    // The window's details under the headline, then what to do next.
    kWindowAccepted,  // {banner}
    kWindowAcceptedUnverified,
    kWindowSkipped,         // {banner}
    kWindowNotApplication,  // {reason}
    kWindowPathUnusable,    // {reason}
    kWindowFileUnreadable,
    kWindowBoardUnavailable,
    kWindowVerifyMismatch,  // {board_now}
    kWindowVerifyFailed,
    kWindowManifestRefused,  // {reason}, {advice}
    // torvexctl's line for an outcome it reports before the board is reached, or a skip.
    kConsoleFileEmpty,       // {path}
    kConsoleNotApplication,  // {path}, {reason}
    kConsolePathUnusable,    // {full_path}, {reason}
    kConsoleSkipped,
    // What the board carries after a download that did not succeed.
    kBoardAfterUnchangedRecord,
    kBoardAfterUnchangedHeadline,
    kBoardAfterRefusedUnchangedWindow,  // {download_result}, {board_now}
    kBoardAfterUnchangedWindow,         // {download_result}, {board_now}
    kBoardAfterWrittenNotStartedRecord,
    kBoardAfterWrittenNotStartedHeadline,
    kBoardAfterWrittenNotStartedWindow,  // {download_result}, {banner}
    kBoardAfterEmptyRecord,
    kBoardAfterEmptyHeadline,
    kBoardAfterEmptyWindow,  // {download_result}
    kBoardAfterOtherRecord,
    kBoardAfterOtherHeadline,
    kBoardAfterOtherWindow,  // {download_result}, {board_now}
    kBoardAfterUnknownRecord,
    kBoardAfterUnknownHeadline,
    kBoardAfterUnknownWindow,  // {download_result}
    // The board's account, for the person at the board: its last write interrupted or
    // failed, an update running, who made an attempt.
    kInterruptedNotice,    // {reference}, {who}, {path}, {when}, {next}
    kFailedWriteNotice,    // {reference}, {who}, {path}, {when}, {result}, {next}
    kRunningWindow,        // {running}: RunningWords, {path}
    kProgramOnStation,     // {who}, {station}
    kOperatorWithProgram,  // {operator}, {who}
    // What to do about a board that may hold an incomplete application ({next} above).
    kNextQueryWriteAgain,
    kNextDownloadWritesInFull,
    kNextWindowWriteAgain,
    kNextUpdateWritesInFull,
    // Why the application the board reports is written again.
    kWriteAgainInterrupted,       // {when}, {path}
    kWriteAgainFailed,            // {when}, {path}, {result}
    kWriteAgainNotCompared,       // {when}, {path}
    kWriteAgainEnded,             // {when}, {path}, {outcome}, {result}
    kWriteAgainOtherBytes,        // {when}, {path}, {recorded}, {sha256}: the digests' first digits
    kWriteAgainOtherApplication,  // {when}, {path}, {banner}
    // A file older than the board's version floor, and where the floor came from.
    kOlderThanWritten,  // {version}, {carried}, {path}, {when}, {who}
    kOlderThanFound,    // {version}, {carried}, {path}, {when}, {who}
    // A file against its manifest: why it is refused, or what was checked ({signer}: kManifestSigner).
    kManifestSigner,  // {key_file}, {fingerprint}
    kManifestNone,
    kManifestMatches,
    kManifestMatchesVersion,        // {version}
    kManifestMatchesSigned,         // {signer}
    kManifestMatchesVersionSigned,  // {version}, {signer}
    kManifestSignedBy,              // {signer}
    kManifestNotSigned,
    kManifestMalformed,        // {manifest_name}, {problem}
    kManifestMissingRequired,  // {manifest_name}
    kManifestMissingNamedKey,  // {manifest_name}, {key_file}
    kManifestUnsignedRequired,
    kManifestUnsignedNamedKey,    // {key_file}
    kManifestUntrustedSigner,     // {fingerprint}
    kManifestOtherThanNamedKey,   // {fingerprint}, {key_file}, {key_fingerprint}
    kManifestEdited,              // {signer}
    kManifestKeyRefused,          // {key_file}
    kManifestSignatureMalformed,  // {problem}
    kManifestSizeShort,           // {file_size}, {manifest_size}
    kManifestSizeLong,            // {file_size}, {manifest_size}, {extra}
    kManifestDigestUnreadable,
    kManifestSha256,             // {file_sha256}, {manifest_sha256}
    kManifestBanner,             // {field}, {file_field}, {manifest_field}
    kManifestWrongBoard,         // {reference}, {patterns}
    kManifestWrongBoardUnknown,  // {patterns}
    kManifestOlderVersion,       // {version}, {carried}
    // What the check remarks without refusing.
    kRemarkNoManifest,            // {manifest_name}
    kRemarkWrittenAnyway,         // {reason}
    kRemarkSignatureNotChecked,   // {fingerprint}, {keys_folder}
    kRemarkMalformedNotChecked,   // {reason}, {keys_folder}
    kRemarkOtherFileName,         // {name}
    kRemarkVersionNotCompared,    // {carried}
    kRemarkKeysFolderUnreadable,  // {keys_folder}
    kRemarkTooManyKeys,           // {limit}, {count}
    kRemarkKeySkipped,            // {key_file}, {problem}
    kProblemKeyFileUnreadable,    // {kib}
    kProblemNoFingerprint,
    kProblemNamedKeyUnusable,  // {key_file}, {problem}
    // A manifest's refusal in the window's headline, then what to do: torvexctl's words
    // (after "nothing was written: ") and the window's, the override always last.
    kHeadlineManifestMalformed,
    kHeadlineNoTrustedSignature,
    kHeadlineUntrustedKey,
    kHeadlineEdited,
    kHeadlineSignatureMalformed,
    kHeadlineDamagedCopy,
    kHeadlineBannerNotItsOwn,
    kHeadlineWrongBoard,
    kHeadlineOlderVersion,
    kAdviceConsoleGetAgain,
    kAdviceConsoleNoManifest,
    kAdviceConsoleUnsigned,
    kAdviceConsoleUntrustedKey,  // {keys_folder}
    kAdviceConsoleEdited,
    kAdviceConsoleCopyAgain,
    kAdviceConsoleBanner,
    kAdviceConsoleWrongBoard,
    kAdviceConsoleOlderVersion,
    kAdviceWindowGetAgain,
    kAdviceWindowNoManifest,
    kAdviceWindowUnsigned,
    kAdviceWindowUntrustedKey,  // {keys_folder}
    kAdviceWindowEdited,
    kAdviceWindowCopyAgain,
    kAdviceWindowBanner,
    kAdviceWindowWrongBoard,
    kAdviceWindowOlderVersion,
    kConsoleManifestRefused,   // {file}, {reason}, {advice}
    kConsoleCheckFails,        // {file}, {reason}
    kConsoleSignerNotChecked,  // {fingerprint}
    kConsoleSignerNone,
    kConsoleSignerMalformed,
    kConsoleSignerNamedKey,      // {signer}
    kWindowManifestRefusesFile,  // {reason}, {advice}: before Update is pressed
    kWindowManifestBoxRefused,   // {reason}
    kWindowManifestBoxMatches,
    kWindowManifestBoxMatchesVersion,  // {version}
    kWindowManifestBoxSigner,          // {signer}
    kWindowMakerNotes,                 // {notes}
    // The window's own: the board held by another program, its title and the module's version.
    kHeadlineBoardBusy,
    kWindowBoardInUseAtStart,  // {holder}
    kWindowBoardInUseRefresh,  // {holder}
    kWindowBoardInUseUpdate,   // {holder}
    kWindowTitle,              // {version}
    kWindowModuleVersion,      // {version}
    kWindowModuleVersionUnknown,
    kCount
};

// One value for a placeholder: {name} in the entry stands for `value`.
struct Placeholder {
    const char* name;
    std::string value;
};

// The entry's text with its placeholders filled in. A placeholder given no value stays as
// written, so that a missing value shows instead of vanishing.
std::string Say(Message message, std::initializer_list<Placeholder> values = {});

}  // namespace torvexupdate
