// Where the program lives, where its settings file is, and where it keeps
// what it remembers between runs.
#pragma once

#include <string>

namespace mirotabe {

// The folder of the running executable, ending in '/' ('\\' on Windows).
std::string ProgramFolder();

// The settings file for a program in `programFolder` (which ends in '/'):
// "Setting.ini" beside a program run from a folder of its own (a build
// tree, an unpacked copy); for an installed program, whose folder is a
// system folder, "$XDG_CONFIG_HOME/mirotabe/Setting.ini" (XDG_CONFIG_HOME
// defaults to ~/.config), always, even for root, so that the program never
// writes into a system folder. The folder of that file is made by the first
// save. On Windows an installed program is one under Program Files (or in
// a folder it cannot write), and its file is %APPDATA%\\mirotabe\\Setting.ini.
std::string SettingsFilePath(const std::string& programFolder);

// The folder where the window keeps what it remembers between runs (the
// window's place, the folder last used, recent files, the text it keeps
// for the next start): "$XDG_STATE_HOME/mirotabe/", where XDG_STATE_HOME
// defaults to ~/.local/state and a relative value counts as unset
// (%LOCALAPPDATA%\\mirotabe\\ on Windows). It ends in a separator and is
// made by the first write.
std::string UserStateFolder();

// Whether `folder` (ending in '/') is a system folder: owned by root and
// under /usr or /opt (/usr/local included), or one that cannot be written.
bool IsSystemFolder(const std::string& folder);

// Whether new files can be made in `folder`.
bool FolderIsWritable(const std::string& folder);

// Replaces the check behind FolderIsWritable, which root passes for every
// folder, so that tests can make a folder read-only for the program; null
// restores the real check.
using FolderWritableCheck = bool (*)(const std::string& folder);
void SetFolderWritableCheck(FolderWritableCheck check);

namespace program_folder_detail {
// This platform's own answer to FolderIsWritable, the check in place
// unless a test has set another.
bool CanMakeFilesIn(const std::string& folder);
}  // namespace program_folder_detail

}  // namespace mirotabe
