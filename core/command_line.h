// The file named on the program's command line.
#pragma once

#include <string>
#include <vector>

namespace mirotabe {

struct StartupFileName {
  enum class Kind {
    kNone,           // nothing on the command line
    kName,           // `name` is the file to load (possibly empty)
    kUnclosedQuote,  // a lone double quote: no name can be taken from it
  };
  Kind kind = Kind::kNone;
  std::string name;  // the name's bytes, as the system gave them
};

// The arguments after the program's name, as the bytes the system passed
// them: a name that is not valid UTF-8 must still open its file. They are
// joined with single spaces. Nothing is trimmed or split, so a path with
// spaces works without quotes. When the result starts with a double quote,
// the name is the result without its first and its last character,
// whatever that last one is.
StartupFileName ParseStartupFileName(const std::vector<std::string>& arguments);

}  // namespace mirotabe
