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

// The base folder in $`variable` when it is absolute, else `fallback`
// under the home folder. A relative value is ignored: the base directory
// rules call it invalid, and it would put the files wherever the program
// happened to be started.
std::string UserFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return WithTrailingSlash(value);
  return WithTrailingSlash(HomeFolder()) + fallback;
}

}  // namespace

namespace program_folder_detail {

bool CanMakeFilesIn(const std::string& folder) {
  return Sys().faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace program_folder_detail

std::string UserStateFolder() {
  return UserFolder("XDG_STATE_HOME", ".local/state/") + "mirotabe/";
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
  return UserFolder("XDG_CONFIG_HOME", ".config/") + "mirotabe/Setting.ini";
}

}  // namespace mirotabe
