#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <string>

#include "platform/program_folder.h"
#include "platform/windows_text.h"

namespace mirotabe {
namespace {

bool EndsInSeparator(const std::string& folder) {
  return !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
}

std::string WithTrailingSeparator(std::string folder) {
  if (!EndsInSeparator(folder)) folder += '\\';
  return folder;
}

// The environment variable `name` as UTF-8, or empty.
std::string Variable(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::string() : Utf8Of(value);
}

// %APPDATA% (roaming) or %LOCALAPPDATA% (this computer), else the usual
// place under the user's profile.
std::string UserFolder(const wchar_t* variable, const char* underProfile) {
  const std::string value = Variable(variable);
  if (!value.empty()) return WithTrailingSeparator(value);
  return WithTrailingSeparator(Variable(L"USERPROFILE")) + underProfile;
}

std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// Whether `folder` lies in one of the folders Windows installs programs
// into, whatever their names on this computer.
bool UnderProgramFiles(const std::string& folder) {
  const std::wstring lowered = Lowered(WideOf(folder));
  for (const wchar_t* variable : {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)"}) {
    const wchar_t* place = _wgetenv(variable);
    if (place == nullptr || *place == L'\0') continue;
    std::wstring prefix = Lowered(place);
    if (prefix.back() != L'\\') prefix += L'\\';
    if (lowered.starts_with(prefix)) return true;
  }
  return false;
}

}  // namespace

namespace program_folder_detail {

// Windows says who may write a folder through its access lists, which no
// attribute shows: only making a file in it tells. The file is gone when
// its handle closes.
bool CanMakeFilesIn(const std::string& folder) {
  const std::wstring probe = WideOf(WithTrailingSeparator(folder) + ".mirotabe-write-check-" +
                                    std::to_string(GetCurrentProcessId()));
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace program_folder_detail

std::string UserStateFolder() {
  return UserFolder(L"LOCALAPPDATA", "AppData\\Local\\") + "mirotabe\\";
}

std::string ProgramFolder() {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (size == 0) return ".\\";
    if (size < program.size()) {
      program.resize(size);
      break;
    }
    program.resize(program.size() * 2);
  }
  const std::string path = Utf8Of(program);
  const std::size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return ".\\";
  return path.substr(0, separator + 1);
}

bool IsSystemFolder(const std::string& folder) {
  const std::string path = WithTrailingSeparator(folder);
  return UnderProgramFiles(path) || !FolderIsWritable(path);
}

std::string SettingsFilePath(const std::string& programFolder) {
  if (!IsSystemFolder(programFolder)) return WithTrailingSeparator(programFolder) + "Setting.ini";
  return UserFolder(L"APPDATA", "AppData\\Roaming\\") + "mirotabe\\Setting.ini";
}

}  // namespace mirotabe
