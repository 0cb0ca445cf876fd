// The window's answers to --help and --version.
#pragma once

#include <optional>

namespace mirotabe {

// When the whole command line is "--help" or "--version", prints the answer
// on standard output and returns the exit status; the window is not opened
// and no display is needed. Any other command line is the file to load, as
// always: a file called "--help" opens as "./--help".
std::optional<int> AnswerInfoOption(int argc, const char* const* argv);

}  // namespace mirotabe
