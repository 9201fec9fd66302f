// The language people read: chosen once when a program starts, English unless asked
// otherwise. Machine-readable output (records, JSON, CSV column and outcome names) never
// depends on it.
#pragma once

#include <string>
#include <string_view>

namespace torvexupdate {

enum class Language { kEnglish, kFrench };

// "fr", "fr-FR", "fr_CA.UTF-8" name French; anything else falls back to English.
Language LanguageNamed(std::string_view code);
// The short code of a language: "en", "fr".
const char* LanguageCode(Language language);

// The language of the process, for every thread that has not set its own.
void UseLanguage(Language language);
Language CurrentLanguage();

// `asked` (a --lang option, "" when not given), else TORVEX_LANG, else the user's display
// language: the first of them that is given decides.
Language ChooseLanguage(const std::string& asked);

// Sets the language of the calling thread while it lives: words that must read the same in
// every language (the history's records) are said within an English one.
class ThreadLanguage {
public:
    explicit ThreadLanguage(Language language);
    ~ThreadLanguage();
    ThreadLanguage(const ThreadLanguage&) = delete;
    ThreadLanguage& operator=(const ThreadLanguage&) = delete;

private:
    const Language* previous_;
    Language language_;
};

}  // namespace torvexupdate
