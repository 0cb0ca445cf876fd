#include "platform/program_folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/sys_calls.h"

namespace mirotabe {
namespace {

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// $HOME, or the home folder of the user's account when HOME is unset.
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] != '\0') return home;
  std::vector<char> buffer(std::size_t{16} * 1024);
  passwd entry;
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr) {
    return found->pw_dir;
  }
  return "/";
}

// $XDG_CONFIG_HOME, or ~/.config when it is unset or empty. A relative
// value is ignored too: the base directory rules call it invalid, and it
// would put the settings wherever the program happened to be started.
std::string UserConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return WithTrailingSlash(config);
  return WithTrailingSlash(HomeFolder()) + ".config/";
}

bool CanMakeFilesIn(const std::string& folder) {
  return Sys().faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0;
}

FolderWritableCheck folderWritableCheck = CanMakeFilesIn;

}  // namespace

bool FolderIsWritable(const std::string& folder) {
  return folderWritableCheck(folder);
}

void SetFolderWritableCheck(FolderWritableCheck check) {
  folderWritableCheck = check != nullptr ? check : CanMakeFilesIn;
}

std::string ProgramFolder() {
  std::error_code error;
  const std::string program = std::filesystem::read_symlink("/proc/self/exe", error).string();
  const std::size_t slash = program.rfind('/');
  // Without /proc the program cannot know its folder; the current folder is
  // the best remaining guess.
  if (error || slash == std::string::npos) return "./";
  return program.substr(0, slash + 1);
}

bool IsSystemFolder(const std::string& folder) {
  const std::string path = WithTrailingSlash(folder);
  struct stat info {};
  const bool ownedByRoot = Sys().stat(path.c_str(), &info) == 0 && info.st_uid == 0;
  // Root may write anywhere, so for root only where the folder lies tells.
  const bool systemPlace = path.starts_with("/usr/") || path.starts_with("/opt/");
  return (ownedByRoot && systemPlace) || !FolderIsWritable(path);
}

std::string SettingsFilePath(const std::string& programFolder) {
  if (!IsSystemFolder(programFolder)) return WithTrailingSlash(programFolder) + "Setting.ini";
  return UserConfigFolder() + "mirotabe/Setting.ini";
}

}  // namespace mirotabe
