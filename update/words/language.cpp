#include "words/language.h"

#include "system/system_facts.h"

#include <atomic>

namespace torvexupdate {

namespace {

std::atomic<Language> g_processLanguage{Language::kEnglish};
thread_local const Language* t_threadLanguage = nullptr;

}  // namespace

Language LanguageNamed(std::string_view code)
{
    bool french = code.size() >= 2 && (code[0] == 'f' || code[0] == 'F') && (code[1] == 'r' || code[1] == 'R')
        && (code.size() == 2 || code[2] == '-' || code[2] == '_' || code[2] == '.');
    return french ? Language::kFrench : Language::kEnglish;
}

const char* LanguageCode(Language language)
{
    return language == Language::kFrench ? "fr" : "en";
}

void UseLanguage(Language language)
{
    g_processLanguage = language;
}

Language CurrentLanguage()
{
    return t_threadLanguage != nullptr ? *t_threadLanguage : g_processLanguage.load();
}

Language ChooseLanguage(const std::string& asked)
{
    if (!asked.empty())
        return LanguageNamed(asked);
    std::string environment = EnvironmentVariable("TORVEX_LANG");
    return LanguageNamed(environment.empty() ? UserLanguageCode() : environment);
}

ThreadLanguage::ThreadLanguage(Language language) : previous_(t_threadLanguage), language_(language)
{
    t_threadLanguage = &language_;
}

ThreadLanguage::~ThreadLanguage()
{
    t_threadLanguage = previous_;
}

}  // namespace torvexupdate
