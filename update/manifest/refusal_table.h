// Every refusal of a file by its manifest, one row each: its stored name, the window's
// headline, and what to do next in torvexctl's words and in the window's (the override, where
// one lets the file through, always last). Front ends look a refusal up here rather than
// switch over it; texts are catalogue entries (words/messages.h).
#pragma once

#include "manifest/manifest_check.h"
#include "words/messages.h"

#include <cstddef>

namespace torvexupdate {

struct RefusalRow {
    ManifestRefusal refusal;
    const char* name;       // in records and JSON; never renamed once released
    Message headline;       // the window's headline
    Message consoleAdvice;  // {keys_folder}
    Message windowAdvice;   // {keys_folder}
};

// clang-format off
inline constexpr RefusalRow kRefusalTable[] = {
    {ManifestRefusal::kNone, "none", Message::kNone, Message::kNone, Message::kNone},
    {ManifestRefusal::kManifestMalformed, "manifest_malformed", Message::kHeadlineManifestMalformed,
     Message::kAdviceConsoleGetAgain, Message::kAdviceWindowGetAgain},
    {ManifestRefusal::kNoManifest, "no_manifest", Message::kHeadlineNoTrustedSignature,
     Message::kAdviceConsoleNoManifest, Message::kAdviceWindowNoManifest},
    {ManifestRefusal::kUnsigned, "unsigned", Message::kHeadlineNoTrustedSignature,
     Message::kAdviceConsoleUnsigned, Message::kAdviceWindowUnsigned},
    {ManifestRefusal::kUntrustedKey, "untrusted_key", Message::kHeadlineUntrustedKey,
     Message::kAdviceConsoleUntrustedKey, Message::kAdviceWindowUntrustedKey},
    {ManifestRefusal::kEdited, "edited_after_signing", Message::kHeadlineEdited,
     Message::kAdviceConsoleEdited, Message::kAdviceWindowEdited},
    {ManifestRefusal::kSignatureMalformed, "signature_malformed", Message::kHeadlineSignatureMalformed,
     Message::kAdviceConsoleGetAgain, Message::kAdviceWindowGetAgain},
    {ManifestRefusal::kSize, "size", Message::kHeadlineDamagedCopy,
     Message::kAdviceConsoleCopyAgain, Message::kAdviceWindowCopyAgain},
    {ManifestRefusal::kSha256, "sha256", Message::kHeadlineDamagedCopy,
     Message::kAdviceConsoleCopyAgain, Message::kAdviceWindowCopyAgain},
    {ManifestRefusal::kBanner, "banner", Message::kHeadlineBannerNotItsOwn,
     Message::kAdviceConsoleBanner, Message::kAdviceWindowBanner},
    {ManifestRefusal::kWrongBoard, "wrong_board", Message::kHeadlineWrongBoard,
     Message::kAdviceConsoleWrongBoard, Message::kAdviceWindowWrongBoard},
    {ManifestRefusal::kOlderVersion, "older_version", Message::kHeadlineOlderVersion,
     Message::kAdviceConsoleOlderVersion, Message::kAdviceWindowOlderVersion},
};
// clang-format on

constexpr bool EveryRefusalInOrder()
{
    for (std::size_t i = 0; i < std::size(kRefusalTable); ++i)
        if (static_cast<std::size_t>(kRefusalTable[i].refusal) != i)
            return false;
    return std::size(kRefusalTable) == static_cast<std::size_t>(ManifestRefusal::kOlderVersion) + 1;
}
static_assert(EveryRefusalInOrder(), "one row for each refusal, in the enumeration's order");

constexpr const RefusalRow& RefusalRowOf(ManifestRefusal refusal)
{
    return kRefusalTable[static_cast<std::size_t>(refusal)];
}

}  // namespace torvexupdate
