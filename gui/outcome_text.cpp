#include "outcome_text.h"

#include "engine/outcome_texts.h"
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
    std::wstring result = Wide(DownloadResultWords(report.result));
    if (report.attempts.size() > 1)
        result += L" after " + std::to_wstring(report.attempts.size()) + L" attempts";
    std::string advice = report.outcome == Outcome::kManifestRefused ? Utf8(RefusalAdvice(report.manifest.refusal))
                                                                     : "";
    std::wstring text = Wide(Say(TextsOf(report).window,
                                 {{"banner", Utf8(Line(file.content.banner))},
                                  {"board_now", Utf8(BoardText(report.after))},
                                  {"reason", OutcomeReason(file, report)},
                                  {"advice", advice},
                                  {"download_result", Utf8(result)}}));
    if (!report.historyError.empty())
        text += L"\r\nThe update history could not be written: " + Wide(report.historyError);
    return text;
}

Severity OutcomeSeverity(const UpdateReport& report)
{
    Severity severity = TextsOf(report).severity;
    if (severity == Severity::kInformation && !report.historyError.empty())
        severity = Severity::kWarning;
    return severity;
}

std::wstring OutcomeHeadline(const UpdateReport& report)
{
    return Wide(Say(TextsOf(report).headline, {{"after_failure", BoardStateHeadline(report.afterFailure)}}));
}

}  // namespace torvexgui
