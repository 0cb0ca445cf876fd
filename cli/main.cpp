#include <iostream>

#include "command/convert.h"
#include "command/picture_output.h"
#if defined(_WIN32)
#include "cli/windows_arguments.h"
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  const mirotabe::PictureSupport pictures{.write = mirotabe::WritePicture,
                                          .latinAdvances = mirotabe::PictureLatinAdvances,
                                          .programFolder = {}};
#if defined(_WIN32)
  mirotabe::UseBinaryStandardStreams();
  mirotabe::WideArguments arguments;
  return mirotabe::RunConvert(arguments.count(), arguments.values(), std::cout, std::cerr,
                              pictures);
#else
  return mirotabe::RunConvert(argc, argv, std::cout, std::cerr, pictures);
#endif
}
