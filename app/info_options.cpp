#include "app/info_options.h"

#include <cstdio>
#include <string_view>

namespace mirotabe {
namespace {

constexpr const char* kHelp =
    "Usage: mirotabe [FILE]\n"
    "Shows Japanese text in vertical writing: type, paste, open or drop text\n"
    "into the left pane, and the right pane shows it vertically.\n"
    "\n"
    "FILE, when given, is loaded into the left pane at start. The arguments are\n"
    "joined with single spaces, so a name with spaces needs no quotes; a name in\n"
    "double quotes loses the first and the last character.\n"
    "\n"
    "  --help     show this help (alone on the command line)\n"
    "  --version  show the version (alone on the command line)\n"
    "\n"
    "See also mirotabe-convert(1), the same conversion without a window.\n";

}  // namespace

std::optional<int> AnswerInfoOption(int argc, const char* const* argv) {
  if (argc != 2) return std::nullopt;
  const std::string_view argument = argv[1];
  if (argument == "--help") {
    std::fputs(kHelp, stdout);
  } else if (argument == "--version") {
    std::printf("mirotabe %s\n", MIROTABE_VERSION);
  } else {
    return std::nullopt;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace mirotabe
