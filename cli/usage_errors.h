// A command line the parser refused, said in the language chosen.
#pragma once

#include <string>

namespace CLI {
class ParseError;
}

namespace torvexctl {

// The parser's own sentence in English; in another language the same facts in its words,
// or the parser's sentence where its form is not one this program knows.
std::string UsageProblem(const CLI::ParseError& error);

}  // namespace torvexctl
