// Where the open and save dialogs start.
#pragma once

#include <QString>
#include <string>

namespace mirotabe {

// The first that exists of: `lastFolder`, the folder the dialogs last used
// (the system's bytes; "" for none); the user's documents folder; the home
// folder. The result does not end in '/', unless it is "/".
QString DialogStartFolder(const std::string& lastFolder);

// The folder of `file` (the system's bytes), as it is kept for the next
// dialog.
std::string FolderOf(const std::string& file);

}  // namespace mirotabe
