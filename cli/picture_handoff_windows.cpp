#include <cerrno>

#include "cli/picture_handoff.h"

namespace mirotabe {

std::string PictureConverterPath(const std::string& programFolder) {
  return programFolder + MIROTABE_PICTURE_CONVERTER;
}

// The options are refused before this could be reached (see
// kPicturesInThisBuild); there is no picture converter to hand over to.
IoError HandOffToPictureConverter(const std::string& programFolder, int /*argc*/, char** /*argv*/) {
  return IoError{PictureConverterPath(programFolder),
                 std::make_error_code(std::errc::not_supported)};
}

}  // namespace mirotabe
