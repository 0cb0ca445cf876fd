// Where the open and save dialogs start.
#pragma once

#include <QString>

namespace mirotabe {

// The program's folder when the program may write there. Otherwise (an
// installed copy, whose folder is a system one) the first that exists of:
// the folder of `lastFile`, the file last opened or saved in this run ("" for
// none); the user's documents folder; the home folder.
// `programFolder` may end in '/'; the result does not, unless it is "/".
QString DialogStartFolder(const QString& programFolder, const QString& lastFile);

}  // namespace mirotabe
