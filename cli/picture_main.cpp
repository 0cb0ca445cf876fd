// mirotabe-convert-picture: the converter with its picture formats, started
// by mirotabe-convert for --format png or pdf (see cli/picture_handoff.h).
#include <iostream>
#include <string_view>

#include "cli/picture_output.h"

int main(int argc, char** argv) {
  // The converter hands over its folder as ProgramFolder() gives it:
  // absolute, ending in '/'. Anything else is a start by hand.
  const std::string_view folder = argc >= 3 ? argv[1] : "";
  if (!folder.starts_with('/') || !folder.ends_with('/')) {
    std::cerr << "mirotabe-convert-picture: this program is started by mirotabe-convert\n";
    return 2;
  }
  // argv[1] is the folder of the converter that started this one; from
  // argv[2] on, that converter's own command line.
  return mirotabe::RunPictureConverter(argc - 2, argv + 2, argv[1]);
}
