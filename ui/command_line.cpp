#include "ui/command_line.h"

namespace mirotabe {

StartupFileName ParseStartupFileName(const QStringList& arguments) {
  const QString line = arguments.join(QChar(u' '));
  if (line.isEmpty()) return {};
  if (line.front() != QChar(u'"')) return {StartupFileName::Kind::kName, line};
  if (line.size() < 2) return {StartupFileName::Kind::kUnclosedQuote, {}};
  return {StartupFileName::Kind::kName, line.mid(1, line.size() - 2)};
}

}  // namespace mirotabe
