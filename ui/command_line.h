// The file named on the program's command line.
#pragma once

#include <QString>
#include <QStringList>

namespace mirotabe {

struct StartupFileName {
  enum class Kind {
    kNone,           // nothing on the command line
    kName,           // `name` is the file to load (possibly empty)
    kUnclosedQuote,  // a lone double quote: no name can be taken from it
  };
  Kind kind = Kind::kNone;
  QString name;
};

// The arguments after the program's name are joined with single spaces.
// Nothing is trimmed or split, so a path with spaces works without quotes.
// When the result starts with a double quote, the name is the result
// without its first and its last character, whatever that last one is.
StartupFileName ParseStartupFileName(const QStringList& arguments);

}  // namespace mirotabe
