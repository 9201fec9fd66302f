// The usage's own words (headings, value names, the help flag) in the language chosen.
#pragma once

namespace CLI {
class App;
}

namespace torvexctl {

// Call once every option and command is added: they are renamed where they stand.
void SayUsageInLanguage(CLI::App& app);

}  // namespace torvexctl
