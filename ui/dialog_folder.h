// Where the open and save dialogs start.
#pragma once

#include <QString>

namespace mirotabe {

// The program's folder for a copy run from a folder of its own. Never a
// system folder: for an installed program, the first that exists of:
// the folder of `lastFile`, the file last opened or saved in this run ("" for
// none); the user's documents folder; the home folder.
// `programFolder` may end in '/'; the result does not, unless it is "/".
QString DialogStartFolder(const QString& programFolder, const QString& lastFile);

}  // namespace mirotabe
