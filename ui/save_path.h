// The name under which the output is saved.
#pragma once

#include <QString>

namespace mirotabe {

// `path` with ".txt" appended, unless its last four characters read ".TXT"
// in any letter case: memo → memo.txt, memo.TXT stays, a.tx → a.tx.txt.
QString WithTextExtension(const QString& path);

}  // namespace mirotabe
