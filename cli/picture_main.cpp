// mirotabe-convert-picture: the converter with its picture formats, started
// by mirotabe-convert for --format png or pdf (see cli/picture_handoff.h).
#include <iostream>

#include "cli/convert.h"
#include "cli/picture_output.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "mirotabe-convert-picture: this program is started by mirotabe-convert\n";
    return 2;
  }
  // argv[1] is the folder of the converter that started this one; from
  // argv[2] on, that converter's own command line.
  return mirotabe::RunConvert(argc - 2, argv + 2, std::cout, std::cerr,
                              {.write = mirotabe::WritePicture, .programFolder = argv[1]});
}
