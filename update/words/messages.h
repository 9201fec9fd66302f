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
    // The window's labels, its list's headings, and what it says while it works.
    kLabelBoardGroup,
    kLabelReference,
    kLabelApplication,
    kLabelRefresh,
    kLabelFileGroup,
    kLabelFile,
    kLabelBrowse,
    kLabelBanner,
    kLabelManifest,
    kLabelOperator,
    kLabelOperatorHint,
    kLabelUpdate,
    kLabelForce,
    kLabelAllowUnsigned,
    kLabelAllowOlder,
    kLabelLog,
    kLabelHistory,
    kLabelClose,
    kLabelLanguage,
    kHeadingTime,
    kHeadingBoard,
    kHeadingOutcome,
    kHeadingFile,
    kHeadingOperator,
    kHeadingBannerAfter,
    kWindowHistoryDamaged,  // {count}, {path}
    kWindowHistoryEmpty,    // {path}
    kWindowHistoryNewest,   // {shown}, {count}
    kWindowWarning,         // {warning}
    kWindowNextAfterInterrupted,
    kWindowNextWritesInFull,
    kWindowBannerNone,
    kHeadlineChecking,
    kWindowChecking,
    kHeadlineUpdating,
    kWindowUpdating,
    kWindowElapsed,  // {seconds}
    kWindowTook,     // {seconds}
    kWindowCloseWhileRunning,
    kWindowBrowseTitle,
    kWindowBrowseApplications,
    kWindowBrowseAll,
    kWindowNoApplication,
    kWindowNoApplicationInFlash,
    kWindowNotRead,
    kWindowChooseFile,
    kWindowFileNotReadable,  // {problem}
    kWindowFilePasses,       // {size}
    kWindowFileFails,        // {reason}
    kWindowFileNothingToWrite,
    kWindowFileForced,
    kWindowFileUpdateOff,
    kWindowAfterAttempts,       // {result}, {count}
    kWindowHistoryNotWritten,   // {error}
    kWindowLogBoardBefore,      // {board}
    kWindowLogBoardBeforeSame,  // {board}
    kWindowLogWritingAgain,     // {reason}
    kWindowLogDownloading,      // {path}
    kWindowLogRetry,            // {code}, {number}, {total}
    kWindowLogModuleLines,
    kWindowModuleNotLoaded,  // {error}
    kWindowBoardNotReached,  // {causes}, {module}, {log}
    kWindowUsage,
    // torvexctl's own lines: errors and warnings, a download's steps, the board and the file.
    kConsoleError,    // {message}
    kConsoleWarning,  // {message}
    kConsoleSeeLog,
    kConsoleBoardUnknown,
    kConsoleNoApplication,
    kConsoleVerifySkipped,
    kConsoleVerifyQueryFailed,  // {see_log}
    kConsoleVerifyNoApplication,
    kConsoleVerifyMismatch,  // {board}, {file}
    kConsoleVerifyMatch,
    kConsoleBoardWrittenNotStarted,  // {board}
    kConsoleBoardUnchanged,          // {board}
    kConsoleBoardEmpty,
    kConsoleBoardOther,  // {board}
    kConsoleBoardNotRead,
    kAdviceConsoleWrittenNotStarted,
    kAdviceConsoleBoardRefused,
    kAdviceConsoleNotWritten,
    kAdviceConsoleBoardEmpty,
    kAdviceConsoleBoardOther,
    kAdviceConsoleBoardUnknown,
    kConsoleAdviceAndLog,           // {advice}, {see_log}
    kConsoleResult,                 // {result}
    kConsoleResultAfterAttempts,    // {result}, {count}
    kConsoleTime,                   // {seconds}
    kConsoleBoardBefore,            // {board}
    kConsoleBoardBeforeFileBanner,  // {board}
    kConsoleWritingAgain,           // {reason}
    kConsoleBoardBeforeForced,      // {board}
    kConsoleBoardBeforeReplaced,    // {board}
    kConsoleDownloading,            // {file}
    kConsoleRetry,                  // {code}, {number}, {total}
    kConsoleHistoryNotWritten,      // {error}
    kConsoleNextWritesInFull,
    kConsoleNextDownloadAgain,
    kConsoleForcedNotApplication,  // {file}, {reason}
    kConsoleFileProblem,           // {path}, {problem}
    kConsoleFile,                  // {path}
    kConsoleSize,                  // {size}
    kConsoleBanner,
    kConsoleBannerNone,   // {bytes}
    kConsoleBannerField,  // {number}, {text}
    kConsoleBannerMissing,
    kConsoleBannerLine,  // {text}
    kConsoleBannerIncomplete,
    kConsoleVersionFailed,  // {see_log}
    kConsoleApplicationInFlash,
    kConsoleReferenceFailed,  // {see_log}
    kConsoleBoardReference,   // {reference}
    kConsoleCheckLogIgnored,
    kConsoleCheckNotApplication,  // {file}, {reason}
    kConsoleCheckPasses,
    kConsoleManifest,               // {words}
    kConsoleVersionLine,            // {version}, {product_version}
    kConsoleUnknownCommandClosest,  // {typed}, {closest}
    kConsoleUnknownCommand,         // {typed}, {names}
    kConsoleUsageHint,              // {problem}
    kConsoleCommandRequired,
    kConsoleInternalError,  // {what}
    kHeadingConsoleTime,
    kHeadingConsoleBoard,
    kHeadingConsoleOutcome,
    kHeadingConsoleFile,
    kHeadingConsoleBannerAfter,
    // torvexctl's --help: what it does, its commands, its options and its exit statuses.
    kHelpProgram,
    kHelpFooter,
    kHelpDll,
    kHelpHistory,
    kHelpLog,
    kHelpJson,
    kHelpQuiet,
    kHelpVersion,
    kHelpLang,
    kHelpFile,
    kHelpDownload,
    kHelpCheck,
    kHelpVersionCommand,
    kHelpReference,
    kHelpInfo,
    kHelpClean,
    kHelpBanner,
    kHelpHistoryCommand,
    kHelpManifest,
    kExitMeaning0,
    kExitMeaning1,
    kExitMeaning2,
    kExitMeaning3,
    kExitMeaning4,
    kExitMeaning5,
    kExitMeaning6,
    kExitMeaning7,
    kExitMeaning8,
    kExitMeaning9,
    kExitMeaning10,
    kExitMeaning11,
    kExitMeaning12,
    kExitMeaning13,
    kExitMeaning14,
    kHelpNoVerify,
    kHelpForce,
    kHelpRetries,
    kHelpOperator,
    kHelpAllowUnsigned,
    kHelpAllowOlder,
    kHelpHistoryBoard,
    kHelpHistorySince,
    kHelpHistoryWide,
    kHelpHistoryCsv,
    kHelpHistorySeparator,
    // torvexctl: the module and the board interface, the history's own lines.
    kConsoleLockFailed,             // {error}
    kConsoleBoardBusy,              // {holder}
    kConsoleModuleNotNamed,         // {path}
    kConsoleModulePathUnusable,     // {path}, {problem}
    kConsoleModuleShortName,        // {name}
    kConsoleModuleNotLoaded,        // {error}
    kConsoleInitFailed,             // {result}
    kConsoleInitFailedCheck,        // {result}, {path}, {log}
    kConsoleInitCause,              // {cause}
    kConsoleLogUnwritten,           // {log}
    kConsoleLogUnwrittenBecause,    // {log}, {problem}
    kConsoleLogNoLines,             // {log}
    kConsoleLogLines,               // {log}
    kConsoleLogLinesRestarted,      // {log}
    kConsoleSinceNotDate,           // {since}
    kConsoleHistoryNone,            // {path}
    kConsoleHistoryNoneSince,       // {since}, {path}
    kConsoleHistoryNoneBoard,       // {board}, {path}
    kConsoleHistoryNoneBoardSince,  // {board}, {since}, {path}
    // What the module's download call returned.
    kDownloadResultRefused,
    kDownloadResultLinkFailed,
    kDownloadResultFailed,
    kDownloadResultUnexpected,
    // torvexctl's progress while the board is written.
    kConsoleStarted,  // {label}
    kConsoleElapsed,  // {label}, {seconds}
    // Why a file is not an application, as the check says it.
    kCheckEmpty,
    kCheckTooShort,  // {size}, {smallest}
    kCheckIncomplete,
    kCheckUnprintable,  // {field}, {byte}
    kCheckAllEmpty,
    // A field log replayed (torvexctl replay): refusals, where a log stops being readable,
    // what a replay cannot bring about, the setup's files, and why a replay differs.
    kReplayLogUnreadable,     // {log}
    kReplayLogUnreadableWhy,  // {log}, {problem}
    kReplayLogTooLarge,       // {log}, {size}
    kReplayLogRefused,        // {log}, {reason}
    kReplayLogEmpty,
    kReplayBytesTooLarge,  // {size}
    kReplayNotTorvexLog,
    kReplayNoRun,
    kReplayNoRunReadTo,  // {line}, {reason}
    kReplayStopCut,
    kReplayStopTooLong,
    kReplayStopZeroByte,
    kReplayStopUnknownLine,
    kReplayStopNoCall,
    kReplayStopExpected,  // {line}: the line the module writes there, quoted
    kReplayStopSeparator,
    kReplayStopReport,  // {call}
    kReplayStopReset,
    kReplayStopVersionReport,
    kReplayStopInfoReport,
    kReplayNoSuchRunOne,    // {run}
    kReplayNoSuchRun,       // {run}, {count}
    kReplayNoCallReadable,  // {line}, {reason}
    kReplayRunPastStop,     // {run}, {line}, {stop_line}, {reason}
    kReplayRunGoesOn,       // {run}, {first_run}, {because}: a kReplayBecause entry
    kReplayBecauseRouter,
    kReplayBecauseLibrary,
    kReplayLeadingLines,  // {count}
    kReplayNoteNoOwnFolder,
    kReplayNoteSkipsLibrary,
    kReplayNoteHolderMemory,
    kReplayNoteStatus,  // {status}
    kReplayNoteRouterBefore,
    kReplayNoteNoRouter,
    kReplayNoteSessionMemory,
    kReplayNoteRouterAgain,
    kReplayNoteNoInitComEnd,
    kReplayNoteNoBoardInit,
    kReplayNoteNotLoaded,
    kReplayNoteLacks,        // {entry_point}
    kReplayNoteLacksEither,  // {entry_point}, {other}
    kReplayNoteFileUnread,
    kReplayNoteNoVersionBanner,
    kReplayNoteNoFileBanner,
    kReplayFileWithBanner,
    kReplayFileShort,
    kReplayFileNothingSent,
    kReplayFileNotRead,
    kReplayFolderUnnamed,
    kReplayFolderLink,       // {folder}
    kReplayFolderNotFolder,  // {folder}
    kReplayFolderNotEmpty,   // {folder}
    kReplayFolderNoParent,   // {folder}, {parent}
    kReplayFolderNotMade,    // {folder}, {problem}
    kReplayToolMissing,      // {tool}
    kReplaySetupCopy,        // {file}, {problem}
    kReplaySetupWrite,       // {folder}
    kReplayCallsStatus,      // {status}, {last_line}
    kReplayNoReplayLog,
    kReplayScriptRefused,  // {refusal}
    kReplayNoteAtLine,     // {why}: a kReplayNote entry, {line}
    kReplayLonger,
    kReplayAnotherLine,  // {calls}, {script}, {journal}
    kReplayNoCallLine,   // {line}, {text}
    // Starting the program that repeats the calls.
    kReplayCannotStart,       // {program}, {problem}
    kReplayCannotStartIn,     // {program}, {folder}
    kReplayCannotWait,        // {program}, {problem}
    kReplayEndedBySignal,     // {program}, {signal}
    kReplayEndedByException,  // {program}, {code}
    kReplayCannotWriteFile,   // {file}, {problem}
    kReplaySystemError,       // {code}
    kHelpReplay,
    kExitMeaning15,
    kExitMeaning16,
    kExitMeaning17,
    // Who holds the board interface, said in the busy message.
    kHolderUnnamed,
    kHolderWords,  // {program}, {process}, {since}, {activity}
    kHolderSinceUnknown,
    kHolderActivityUnknown,
    // The module, the board lock, application files, paths and the history file, from a host.
    kInitNoLog,
    kInitNoLogBecause,        // {problem}
    kLogModulePathAnsi,       // {path}
    kLogModulePathTooLong,    // {length}, {limit}
    kLogPathTooLong,          // {length}, {limit}
    kLogFolderMissing,        // {folder}
    kLogIsFolder,             // {log}
    kLogFolderReadOnly,       // {folder}, {error}
    kLogFolderOrLogReadOnly,  // {folder}, {error}
    kLogNotWritable,          // {log}, {error}
    kInitIniMissing,          // {ini}
    kInitSettingMissing,      // {ini}
    kInitInterfaceHeld,
    kInitNoRouter,
    kInitNoSession,                 // {line}
    kInitBoardReported,             // {line}
    kInitLibraryLoadsNow,           // {path}
    kInitLibraryNotFound,           // {path}, {error}
    kInitLibraryWrongArchitecture,  // {path}, {error}
    kInitLibraryAccessDenied,       // {path}, {error}
    kInitLibraryNotLoaded,          // {path}, {error}
    kInitDriveLetter,               // {value}, {path}
    kInitRelativeFolder,            // {value}, {path}, {program_folder}, {current_folder}
    kModuleFileMissing,             // {path}
    kModuleNotLoadable,             // {path}, {error}
    kModuleExportsMissing,          // {path}, {missing}
    kLoaderTheFile,                 // the system's "%1" in a loader's error
    kLoaderErrorCode,               // {text}: the system's, {code}
    kLockNotCreated,                // {code}
    kLockNotTaken,                  // {code}
    kLockFileNotOpened,             // {file}, {error}
    kLockFileNotLocked,             // {file}, {error}
    kActivityReadingBoard,
    kActivityUpdating,     // {file}
    kActivityDownloading,  // {file}
    kActivityRunning,      // {command}
    kFileIsFolder,
    kFileNotOpened,  // {error}
    kFileSizeUnknown,
    kPathNoShortName,     // {code_page}
    kPathShortNameToo,    // {code_page}
    kHistoryNotOpened,    // {path}, {error}
    kHistoryNotWritten,   // {path}, {error}
    kHistoryNotRead,      // {path}, {error}
    kHistoryLineDamaged,  // {path}, {line}
    kHistoryLineCut,      // {path}, {line}
    kConsoleBannerLogIgnored,
    kConsoleFileShortName,  // {name}
    // Manifests and keys: why one cannot be read, made or signed; manifest, clean and their help.
    kProblemFieldNotText,   // {field}
    kProblemFieldTooLong,   // {field}, {bytes}
    kProblemFieldControl,   // {field}
    kProblemFieldMissing,   // {field}
    kProblemFieldUnknown,   // {format_version}, {field}
    kProblemNotFormat,      // {format}
    kProblemFormatVersion,  // {format_version}
    kProblemNotFileName,
    kProblemSizeNotBytes,
    kProblemSha256NotDigest,
    kProblemBannerNotFive,
    kProblemVersionNotSemantic,
    kProblemBoardsNotList,  // {max}
    kProblemBoardsPattern,  // {problem}
    kProblemPatternLength,  // {max}
    kProblemPatternControl,
    kProblemNotJsonObject,
    kProblemNotJson,
    kProblemManifestTooLarge,  // {kib}
    kProblemNotAFile,
    kProblemCannotRead,
    kProblemSignatureNotObject,
    kProblemSignatureAlgorithm,  // {algorithm}
    kProblemSignatureKey,
    kProblemSignatureNotBase64,
    kProblemSignatureNotDer,
    kProblemKeyCompressed,
    kProblemKeyNotPoint,
    kProblemKeyNotEcPrivate,
    kProblemKeyNotP256,
    kProblemKeyNoCurve,
    kProblemKeyNoPublicPart,
    kProblemKeyNotPrivate,
    kProblemKeyNotEc,
    kProblemKeyIsPrivate,
    kProblemKeyNoPublicPem,
    kProblemKeyNotPublic,
    kProblemKeyEncrypted,
    kProblemKeyIsPublic,
    kProblemKeyNoPrivatePem,
    kProblemSystemRefusesKey,
    kProblemSystemCannotSign,
    kProblemSigningKeyUnreadable,  // {key_file}, {kib}
    kProblemSigningKeyUnusable,    // {problem}
    kProblemCannotSign,            // {problem}
    kProblemKeyHalvesDiffer,
    kProblemFileUnreadable,
    kProblemVersionGiven,        // {version}
    kProblemTooManyPatterns,     // {max}
    kProblemNotesUnfit,          // {max}
    kProblemWouldBeMalformed,    // {problem}
    kProblemCannotWrite,         // {path}
    kProblemWriteIncomplete,     // {path}
    kConsoleNothingToDescribe,   // {path}
    kConsoleDescribedAnyway,     // {path}, {reason}
    kConsoleVersionOption,       // {version}
    kConsoleBoardOption,         // {pattern}, {problem}
    kConsoleManifestNotWritten,  // {path}, {problem}
    kConsoleCreatedSha256,       // {sha256}
    kConsoleCreatedSigned,       // {fingerprint}, {key_file}
    kConsoleCreatedUnsigned,
    kConsoleCreatedWrote,       // {path}
    kConsoleNoManifestToCheck,  // {file}, {manifest_path}
    kConsoleCheckManifest,      // {manifest_path}
    kConsoleCheckVersion,       // {version}
    kConsoleCheckNoVersion,
    kConsoleCheckBoards,  // {boards}
    kConsoleCheckAnyBoard,
    kConsoleCheckSigner,         // {signer}
    kConsoleCheckWords,          // {words}
    kConsoleCheckNotesLabel,     // the label before the maker's notes, its width their indent
    kConsoleManifestNotesLabel,  // the same after download's or check's manifest line
    kConsoleManifestNoLog,
    kConsoleCleanReport,  // {com}, {general}
    kConsoleCleanReportUnknown,
    kConsoleCleanFailed,  // {report}, {see_log}
    kConsoleCleanCalled,  // {result}, {report}
    kHelpManifestCreate,
    kHelpManifestCheck,
    kHelpReleaseVersion,
    kHelpBoardPattern,
    kHelpNotes,
    kHelpSigningKey,
    kHelpCheckingKey,
    // The usage's own headings and value names.
    kHelpFlag,
    kHelpGroupOptions,
    kHelpGroupCommands,
    kHelpLabelUsage,
    kHelpLabelCommand,
    kHelpLabelCommands,
    kHelpLabelPositionals,
    kHelpLabelRequired,
    kHelpLabelExcludes,
    kHelpLabelNeeds,
    kHelpValuePath,
    kHelpValueText,
    kHelpValueName,
    kHelpValueReference,
    kHelpValueLanguage,
    kHelpValueFolder,
    kHelpValuePrivateKey,
    kHelpValuePublicKey,
    kHelpValuePattern,
    kHelpValueFile,
    kHelpValueLog,
    // torvexctl replay's report: what it replayed, where, and what came of it; its options.
    kReplayShowLog,              // {log}, {lines}, {runs}: kReplayCount entries
    kReplayShowEncoding,         // {encoding}
    kReplayShowRun,              // {run}, {first}, {last}
    kReplayShowRuns,             // {first_run}, {last_run}, {first}, {last}
    kReplayShowRemark,           // {remark}
    kReplayShowSetup,            // {folder}
    kReplayShowSetupMade,        // {processes}, {calls}, {files}, {answers}: kReplayCount entries; {numbered}
    kReplayShowReproducedOne,    // {count}
    kReplayShowReproduced,       // {count}
    kReplayShowReproducedUpTo,   // {line}, {lines}
    kReplayShowNotReproducedAt,  // {line}, {alike}
    kReplayShowNotReproduced,
    kReplayShowField,   // {text}
    kReplayShowReplay,  // {text}
    kReplayEmptyLine,
    kReplayFieldLinesEnd,
    kReplayReplayLogEnds,
    kReplayNothingReplayed,  // {reason}
    kReplayStoppedAt,        // {line}, {log}, {reason}
    kReplayNotReproduced,    // {why}
    kReplayCountLine,        // {count}: one, then many
    kReplayCountLines,
    kReplayCountRun,
    kReplayCountRuns,
    kReplayCountProcess,
    kReplayCountProcesses,
    kReplayCountCall,
    kReplayCountCalls,
    kReplayCountFile,
    kReplayCountFiles,
    kReplayCountAnswer,
    kReplayCountAnswers,
    kReplayCountAlike,
    kReplayCountAlikeMany,
    kReplayEncodingBigEndian,
    kReplayEncodingNoMark,
    kHelpReplayLog,
    kHelpReplayRun,
    kHelpReplayAll,
    kHelpReplayInto,
    // The history's wide table: a heading a column, in the CSV's order.
    kHeadingWideTime,
    kHeadingWideBoard,
    kHeadingWideOutcome,
    kHeadingWideFile,
    kHeadingWideSize,
    kHeadingWideSha256,
    kHeadingWideBannerBefore,
    kHeadingWideBannerAfter,
    kHeadingWideOperator,
    kHeadingWideStation,
    kHeadingWideProgram,
    kHeadingWideResult,
    // What the usage says an option's value must be.
    kHelpValueRetries,
    kHelpValuePositive,
    // A command line the parser refused (in English the parser's own sentence is shown).
    kUsageRequired,
    kUsageExcludes,
    kUsageRequires,
    kUsageNotExpected,
    kUsageOutOfRange,
    kUsageNotAmong,
    kUsageValueMissing,
    kUsageNotAllowed,
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
