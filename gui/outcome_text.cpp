#include "outcome_text.h"

#include "engine/outcome_texts.h"
#include "manifest/refusal_table.h"
#include "wide_text.h"

namespace torvexgui {

namespace {

using namespace torvexupdate;

std::wstring Line(const std::optional<Banner>& banner)
{
    return banner ? L"\u201C" + BannerText(*banner) + L"\u201D" : L"no application";
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

// Text for an edit control: its lines end with CR LF.
std::wstring EditLines(const std::wstring& text)
{
    std::wstring lines;
    for (wchar_t c : text) {
        if (c == L'\r')
            continue;
        lines += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    }
    return lines;
}

std::string Advice(const ManifestVerdict& verdict)
{
    return Say(RefusalRowOf(verdict.refusal).windowAdvice, {{"keys_folder", verdict.keysFolder}});
}

}  // namespace

std::wstring BannerText(const Banner& banner)
{
    return FromCp1252(BannerFields(banner));
}

std::wstring ApplicationText(const BoardContent& board)
{
    if (!board.known)
        return L"(could not be read)";
    return board.banner ? BannerText(*board.banner) : L"no application in flash";
}

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
        return Wide(Say(Message::kWindowManifestBoxRefused, {{"reason", verdict.words}}));
    if (!verdict.manifest)
        return L"\u26A0 " + Notes(verdict);  // it has no manifest: its completeness could not be checked
    // The signer on a line of its own (the key's file name in trusted-keys and its
    // fingerprint), then what its maker wrote for the person deciding, then the remarks.
    const Manifest& manifest = *verdict.manifest;
    std::wstring text = Wide(
        Say(manifest.version.empty() ? Message::kWindowManifestBoxMatches : Message::kWindowManifestBoxMatchesVersion,
            {{"version", manifest.version}}));
    if (!verdict.signer.keyFile.empty())
        text += L"\r\n"
            + Wide(Say(Message::kWindowManifestBoxSigner,
                       {{"signer",
                         Say(Message::kManifestSigner,
                             {{"key_file", verdict.signer.keyFile},
                              {"fingerprint", FingerprintForPeople(verdict.signer.fingerprint)}})}}));
    if (!manifest.notes.empty())
        text += L"\r\n" + EditLines(Wide(Say(Message::kWindowMakerNotes, {{"notes", manifest.notes}})));
    std::wstring notes = Notes(verdict);
    return text + (notes.empty() ? L"" : L"\r\n" + notes);
}

std::wstring RefusalHeadline(const ManifestVerdict& verdict)
{
    return Wide(Say(RefusalRowOf(verdict.refusal).headline));
}

std::wstring RefusalText(const ManifestVerdict& verdict)
{
    return Wide(Say(Message::kWindowManifestRefusesFile, {{"reason", verdict.words}, {"advice", Advice(verdict)}}));
}

std::wstring OutcomeText(const UpdateFile& file, const UpdateReport& report)
{
    std::wstring result = Wide(DownloadResultWords(report.result));
    if (report.attempts.size() > 1)
        result += L" after " + std::to_wstring(report.attempts.size()) + L" attempts";
    std::string advice = report.outcome == Outcome::kManifestRefused ? Advice(report.manifest) : "";
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
