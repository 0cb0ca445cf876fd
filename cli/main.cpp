#include <iostream>

#include "cli/convert.h"
#if defined(_WIN32)
#include "cli/windows_arguments.h"
#else
#include "cli/picture_output.h"
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#if defined(_WIN32)
  mirotabe::UseBinaryStandardStreams();
  mirotabe::WideArguments arguments;
  return mirotabe::RunConvert(arguments.count(), arguments.values(), std::cout, std::cerr);
#else
  return mirotabe::RunConvert(argc, argv, std::cout, std::cerr,
                              {.write = mirotabe::WritePicture,
                               .latinAdvances = mirotabe::PictureLatinAdvances,
                               .programFolder = {}});
#endif
}
