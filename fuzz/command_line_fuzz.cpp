// The start-up file name from any arguments' bytes: the name is the joined
// arguments, less a leading quote and the character after the last one.
#include <string>
#include <vector>

#include "core/command_line.h"
#include "fuzz/fuzz_support.h"

using namespace mirotabe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  std::vector<std::string> arguments;
  while (data.remaining_bytes() != 0 && arguments.size() < 8) {
    arguments.push_back(data.ConsumeRandomLengthString(64));
  }
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) line += (i == 0 ? "" : " ") + arguments[i];
  const StartupFileName parsed = ParseStartupFileName(arguments);
  switch (parsed.kind) {
    case StartupFileName::Kind::kNone:
      FUZZ_CHECK(line.empty());
      break;
    case StartupFileName::Kind::kUnclosedQuote:
      // A quote followed by at most one character, which is all the cut takes.
      FUZZ_CHECK(!line.empty() && line.front() == '"' && line.size() <= 5);
      break;
    case StartupFileName::Kind::kName:
      FUZZ_CHECK(!line.empty());
      if (line.front() == '"') {
        // The cut takes the last character, one to four bytes, and never more.
        const std::size_t cut = line.size() - 1 - parsed.name.size();
        FUZZ_CHECK(line.size() >= 2 && cut >= 1 && cut <= 4 &&
                   line.compare(1, parsed.name.size(), parsed.name) == 0);
      } else {
        FUZZ_CHECK(parsed.name == line);
      }
      break;
  }
  return 0;
}
