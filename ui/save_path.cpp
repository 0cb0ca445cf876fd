#include "ui/save_path.h"

#include <filesystem>
#include <system_error>

namespace mirotabe {

bool IsCharacterDevice(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_character_file(path, error);
}

std::string SaveTarget(const std::string& chosen) {
  return IsCharacterDevice(chosen) ? chosen : WithTextExtension(chosen);
}

}  // namespace mirotabe
