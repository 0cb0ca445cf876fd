#include "cli/picture_handoff.h"

#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <vector>

namespace mirotabe {

std::string PictureConverterPath(const std::string& programFolder) {
  return programFolder + MIROTABE_PICTURE_CONVERTER;
}

IoError HandOffToPictureConverter(const std::string& programFolder, int argc, char** argv) {
  const std::string path = PictureConverterPath(programFolder);
  std::vector<char*> arguments{const_cast<char*>(path.c_str()),
                               const_cast<char*>(programFolder.c_str())};
  arguments.insert(arguments.end(), argv, argv + argc);
  arguments.push_back(nullptr);
  // Whatever this process buffered must not be lost with it.
  std::cout.flush();
  std::cerr.flush();
  execv(path.c_str(), arguments.data());
  return IoError{path, std::error_code(errno, std::generic_category())};
}

}  // namespace mirotabe
