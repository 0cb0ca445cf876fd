// The picture formats run in a program of their own,
// "mirotabe-convert-picture", kept beside the converter in
// ../libexec/mirotabe/. The converter itself links no drawing libraries:
// loading Qt's would add its start-up time and some 10 MB of memory to
// every text conversion.
//
// The converter hands the picture converter its whole command line before
// it reads any input, so standard input and output pass over untouched.
// The picture converter's arguments are the folder of the converter that
// started it (whose settings file applies), then that converter's argv.
#pragma once

#include <string>

#include "platform/io_error.h"

namespace mirotabe {

// Whether this build draws pictures at all. The Windows build converts
// text only: the drawing (render/) needs Qt, which it does not link.
#if defined(_WIN32)
inline constexpr bool kPicturesInThisBuild = false;
#else
inline constexpr bool kPicturesInThisBuild = true;
#endif

// Where the picture converter of a converter in `programFolder` (ending in
// '/') is.
std::string PictureConverterPath(const std::string& programFolder);

// Replaces this process with the picture converter beside the converter in
// `programFolder`, handing it the `argc` arguments of `argv`. Returns only
// when that fails, with the picture converter's path and the reason.
IoError HandOffToPictureConverter(const std::string& programFolder, int argc, char** argv);

}  // namespace mirotabe
