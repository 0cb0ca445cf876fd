// Where the program lives and where its settings file is.
#pragma once

#include <string>

namespace mirotabe {

// The folder of the running executable, ending in '/'.
std::string ProgramFolder();

// The settings file for a program in `programFolder` (which ends in '/'):
// "Setting.ini" beside the program, unless that file does not exist and the
// folder cannot be written (a system-wide install), in which case it is
// "$XDG_CONFIG_HOME/mirotabe/Setting.ini" (XDG_CONFIG_HOME defaults to
// ~/.config). The folder of the fallback is made by the first save.
std::string SettingsFilePath(const std::string& programFolder);

// Whether new files can be made in `folder`.
bool FolderIsWritable(const std::string& folder);

// Replaces the check behind FolderIsWritable, which root passes for every
// folder, so that tests can make a folder read-only for the program; null
// restores the real check.
using FolderWritableCheck = bool (*)(const std::string& folder);
void SetFolderWritableCheck(FolderWritableCheck check);

}  // namespace mirotabe
