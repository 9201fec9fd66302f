// Say: an entry of the current language's catalogue with its placeholders filled in.
#include "words/messages.h"

#include "words/catalogue.h"
#include "words/language.h"
#include "words/messages_en.h"
#include "words/messages_fr.h"

#include <cstddef>

namespace torvexupdate {

namespace {

// A failure names the index of the first faulty entry ("the comparison reduces to ...").
static_assert(FirstEntryOutOfOrder(kEnglish) == kMessageCount, "one English entry a message, in order");
static_assert(FirstEntryOutOfOrder(kFrench) == kMessageCount, "one French entry a message, in order");
static_assert(FirstPlaceholderMismatch(kFrench, kEnglish) == kMessageCount,
              "each French entry has the placeholders of its English entry");

const Entry* CatalogueOf(Language language)
{
    return language == Language::kFrench ? kFrench : kEnglish;
}

}  // namespace

std::string Say(Message message, std::initializer_list<Placeholder> values)
{
    std::size_t index = static_cast<std::size_t>(message);
    std::string text = index < kMessageCount ? CatalogueOf(CurrentLanguage())[index].text : "";
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
