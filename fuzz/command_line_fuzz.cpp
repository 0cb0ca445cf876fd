// The start-up file name from any arguments: the name is the joined
// arguments, less a leading quote and the character after the last one.
#include <QString>
#include <QStringList>

#include "fuzz/fuzz_support.h"
#include "ui/command_line.h"

using namespace mirotabe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  QStringList arguments;
  while (data.remaining_bytes() != 0 && arguments.size() < 8) {
    const std::u16string argument = fuzzing::DrawText(data, 64);
    arguments << QString::fromUtf16(argument.data(), static_cast<qsizetype>(argument.size()));
  }
  const QString line = arguments.join(QChar(u' '));
  const StartupFileName parsed = ParseStartupFileName(arguments);
  switch (parsed.kind) {
    case StartupFileName::Kind::kNone:
      FUZZ_CHECK(line.isEmpty());
      break;
    case StartupFileName::Kind::kUnclosedQuote:
      FUZZ_CHECK(line == QStringLiteral("\""));
      break;
    case StartupFileName::Kind::kName:
      FUZZ_CHECK(!line.isEmpty());
      if (line.front() == QChar(u'"')) {
        FUZZ_CHECK(line.size() >= 2 && parsed.name == line.mid(1, line.size() - 2));
      } else {
        FUZZ_CHECK(parsed.name == line);
      }
      break;
  }
  return 0;
}
