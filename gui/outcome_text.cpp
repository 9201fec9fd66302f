#include "outcome_text.h"

#include "wide_text.h"

namespace torvexgui {

namespace {

using namespace torvexupdate;

std::wstring Line(const std::optional<Banner>& banner)
{
    return banner ? L"\u201C" + FromCp1252(torvexupdate::BannerLine(*banner)) + L"\u201D" : L"no application";
}

// The notes, one sentence a line: keys skipped, what could not be checked, what is written anyway.
std::wstring Notes(const ManifestVerdict& verdict)
{
    std::wstring text;
    for (const std::string& note : verdict.notes) {
        std::wstring sentence = Wide(note);
        if (!sentence.empty() && sentence[0] >= L'a' && sentence[0] <= L'z')
            sentence[0] = static_cast<wchar_t>(sentence[0] - L'a' + L'A');
        text += (text.empty() ? L"" : L"\r\n") + sentence + L".";
    }
    return text;
}

std::wstring RefusalAdvice(ManifestRefusal refusal)
{
    switch (refusal) {
    case ManifestRefusal::kNoManifest:
    case ManifestRefusal::kUnsigned:
    case ManifestRefusal::kUntrustedKey:
        return L"Ask its maker for a signed manifest, or tick Allow unsigned to write it anyway.";
    case ManifestRefusal::kSize:
    case ManifestRefusal::kSha256:
        return L"Copy the file again from its source, beside its manifest.";
    case ManifestRefusal::kWrongBoard:
        return L"Check that the file is meant for this board.";
    case ManifestRefusal::kOlderVersion:
        return L"To write an older version, use torvexctl download --allow-older.";
    default:
        return L"Get the file and its manifest again from their maker.";
    }
}

std::wstring AfterFailureText(const UpdateFile& file, const UpdateReport& report)
{
    std::wstring result = Wide(DownloadResultWords(report.result));
    if (report.attempts.size() > 1)
        result += L" after " + std::to_wstring(report.attempts.size()) + L" attempts";
    switch (report.afterFailure) {
    case AfterFailure::kUnchanged:
        if (report.outcome == Outcome::kRefused)
            return L"Refused by the board: " + result + L". Nothing was changed; the board still carries "
                + BoardText(report.after) + L".\r\nNext: check that this file is meant for this board.";
        return L"The download failed: " + result + L". Nothing was changed; the board still carries "
            + BoardText(report.after) + L".\r\nNext: check the connection, then press Update again.";
    case AfterFailure::kWrittenNotStarted:
        return L"Written but not started: " + result + L". The board carries " + Line(file.content.banner)
            + L" but could not start it.\r\nNext: restart the board, then press Refresh; if it does not run, "
              L"update again.";
    case AfterFailure::kEmpty:
        return L"The download failed: " + result
            + L". The board now has no application.\r\nNext: update again "
              L"with a good file before restarting the board.";
    case AfterFailure::kOther:
        return L"The download failed: " + result + L". The board carries another application: "
            + BoardText(report.after) + L".\r\nNext: update again.";
    case AfterFailure::kUnknown:
        break;
    }
    return L"The download failed: " + result
        + L". What the board carries could not be read.\r\nNext: press "
          L"Refresh before restarting the board.";
}

}  // namespace

std::wstring BoardText(const BoardContent& board)
{
    if (!board.known)
        return L"(could not be read)";
    return board.banner ? Line(board.banner) : L"no application in flash";
}

std::wstring FileVerdictText(const UpdateFile& file, bool force)
{
    if (file.path.empty())
        return L"Choose an application file: Browse\u2026, or drop it on this window.";
    if (!file.content.readable)
        return L"Cannot read this file: it " + Wide(file.content.problem) + L". Check the path.";
    if (file.check.verdict == FileVerdict::kApplication)
        return L"\u2714 An application file (" + std::to_wstring(file.content.size) + L" bytes): it passes the check.";
    std::wstring text = L"\u2716 Not an application file: " + Wide(file.check.reason) + L".";
    if (file.check.verdict == FileVerdict::kEmpty)
        return text + L" There is nothing to write.";
    if (force)
        return text
            + L"\r\nWarning: Force is ticked, Update will write it anyway and may leave the board "
              L"without a working application.";
    return text + L" Update stays off unless Force is ticked.";
}

std::wstring ManifestText(const ManifestVerdict& verdict)
{
    if (!verdict.ok)
        return L"\u2716 Refused: " + Wide(verdict.words) + L". " + RefusalAdvice(verdict.refusal);
    if (!verdict.manifest)
        return L"\u26A0 " + Notes(verdict);  // it has no manifest: its completeness could not be checked
    // The signer on a line of its own: the key's file name in trusted-keys and its fingerprint.
    const std::string& version = verdict.manifest->version;
    std::wstring text = L"\u2714 Size, SHA-256 and banner match its manifest"
        + (version.empty() ? std::wstring() : L" (version " + Wide(version) + L")") + L".";
    if (!verdict.signer.keyFile.empty())
        text += L"\r\nSigned by " + Wide(verdict.signer.keyFile) + L" (key " + Wide(verdict.signer.fingerprint) + L").";
    std::wstring notes = Notes(verdict);
    return text + (notes.empty() ? L"" : L"\r\n" + notes);
}

std::wstring OutcomeText(const UpdateFile& file, const UpdateReport& report)
{
    std::wstring text;
    switch (report.outcome) {
    case Outcome::kAccepted:
        text = report.verification == Verification::kMatch
            ? L"Done: the board now runs " + Line(file.content.banner)
                + L"; it reports the file's banner back.\r\nNothing more to do."
            : L"Done: the board accepted the file and started it (its banner was not compared).\r\nPress "
              L"Refresh to see what the board reports.";
        break;
    case Outcome::kSkipped:
        text = L"Nothing written: the board already carries this application, " + Line(file.content.banner)
            + L".\r\nTick Force to write it again anyway.";
        break;
    case Outcome::kNotApplication:
        text = L"Nothing written: the file is not an application (" + Wide(file.check.reason)
            + L").\r\nChoose the right file.";
        break;
    case Outcome::kPathUnusable:
        text = L"Nothing written: the module cannot be given this file's path (" + Wide(file.narrow.problem)
            + L").\r\nCopy or rename the file to a path in plain letters.";
        break;
    case Outcome::kFileUnreadable:
    case Outcome::kFileEmpty:
        text = L"Nothing written: the file cannot be read or is empty.\r\nChoose another file.";
        break;
    case Outcome::kBoardUnavailable:
        text = L"Nothing written: the board could not be reached.\r\nCheck the connection and torvex.ini, then "
               L"start this program again.";
        break;
    case Outcome::kVerifyMismatch:
        text = L"Written, but the board reports " + BoardText(report.after)
            + L" instead of the file's banner.\r\n"
              L"Next: update again; if it happens again, look at Torvex.log.";
        break;
    case Outcome::kVerifyFailed:
        text = L"Written and started, but the board's banner could not be read back.\r\nNext: press Refresh to "
               L"check what the board carries.";
        break;
    case Outcome::kRefused:
    case Outcome::kFailed:
        text = AfterFailureText(file, report);
        break;
    case Outcome::kManifestRefused:
        text = L"Nothing written: " + Wide(report.manifest.words) + L".\r\nNext: "
            + RefusalAdvice(report.manifest.refusal);
        break;
    }
    if (!report.historyError.empty())
        text += L"\r\nThe update history could not be written: " + Wide(report.historyError);
    return text;
}

Severity OutcomeSeverity(const UpdateReport& report)
{
    Severity severity = Severity::kError;
    switch (report.outcome) {
    case Outcome::kAccepted:
        severity = report.verification == Verification::kMatch ? Severity::kSuccess : Severity::kWarning;
        break;
    case Outcome::kSkipped:
        severity = Severity::kSuccess;
        break;
    case Outcome::kNotApplication:
    case Outcome::kPathUnusable:
    case Outcome::kFileUnreadable:
    case Outcome::kFileEmpty:
    case Outcome::kVerifyFailed:
        severity = Severity::kWarning;  // the board is as it was, or runs what was written
        break;
    case Outcome::kManifestRefused:
        severity = Severity::kError;  // the file is not the one its maker released, or not for this board
        break;
    case Outcome::kBoardUnavailable:
    case Outcome::kVerifyMismatch:
    case Outcome::kRefused:
    case Outcome::kFailed:
        break;
    }
    if (severity == Severity::kSuccess && !report.historyError.empty())
        severity = Severity::kWarning;
    return severity;
}

std::wstring OutcomeHeadline(const UpdateReport& report)
{
    switch (report.outcome) {
    case Outcome::kAccepted:
        return report.verification == Verification::kMatch ? L"Update done: the board runs the new application"
                                                           : L"Update done: the board accepted and started the file";
    case Outcome::kSkipped:
        return L"Nothing to do: the board already carries this application";
    case Outcome::kNotApplication:
        return L"Nothing written: this is not an application file";
    case Outcome::kPathUnusable:
        return L"Nothing written: the file's path cannot be handed to the module";
    case Outcome::kFileUnreadable:
    case Outcome::kFileEmpty:
        return L"Nothing written: the file cannot be read or is empty";
    case Outcome::kManifestRefused:
        return L"Nothing written: the file's manifest refuses it";
    case Outcome::kBoardUnavailable:
        return L"Update failed: the board could not be reached";
    case Outcome::kVerifyMismatch:
        return L"Update failed: the board reports another application than the file's";
    case Outcome::kVerifyFailed:
        return L"Written, but what the board runs could not be read back";
    case Outcome::kRefused:
    case Outcome::kFailed:
        break;
    }
    const wchar_t* failed = report.outcome == Outcome::kRefused ? L"Refused by the board" : L"Update failed";
    switch (report.afterFailure) {
    case AfterFailure::kUnchanged:
        return std::wstring(failed) + L": the board is unchanged";
    case AfterFailure::kWrittenNotStarted:
        return std::wstring(failed) + L": written but not started";
    case AfterFailure::kEmpty:
        return std::wstring(failed) + L": the board has no application now";
    case AfterFailure::kOther:
        return std::wstring(failed) + L": the board carries another application";
    case AfterFailure::kUnknown:
        break;
    }
    return std::wstring(failed) + L": what the board carries is unknown";
}

}  // namespace torvexgui
