#pragma once
// What the game answers from its command line without a display: --help (-h) and
// --version. Every other argument is left to Qt (-platform, -style, ...).
#include <optional>
#include <ostream>

namespace zbx::app {

// The exit status when an argument asks for the help or the version, which is then
// written to out; nothing when the game should start.
std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out);

}  // namespace zbx::app
