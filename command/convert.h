// mirotabe-convert: the vertical conversion for scripts and batch jobs.
// It reads a text file like the program's open command, converts it under
// the program's settings and writes the bytes its save command would write.
#pragma once

#include <ostream>
#include <string>

#include "command/picture_request.h"
#include "core/vertical_layout.h"

namespace mirotabe {

// Draws `layout` as `request` asks and writes it; failures are reported on
// standard error under the name `program`. Returns the exit status.
using PictureWriter = int (*)(const VerticalLayout& layout, const PictureRequest& request,
                              const char* program);

// How the command writes the picture formats (--format png or pdf).
struct PictureSupport {
  // None in a build without the painter: pictures are refused.
  PictureWriter write = nullptr;
  // The advances of the half-width Latin in the font that `write` draws
  // with, which sideways Latin is fitted into the columns by; none: the
  // half-width forms'.
  LatinAdvances (*latinAdvances)() = nullptr;
  // The folder whose "Setting.ini" applies when none is named; empty: this
  // program's own folder.
  std::string programFolder;
};

// Runs the command with its arguments (argv[0] is the program's name,
// argv[argc] null); the help goes to `out`, errors and warnings to `err`,
// the result to standard output or the -o file. Returns the exit status.
int RunConvert(int argc, char** argv, std::ostream& out, std::ostream& err,
               const PictureSupport& pictures = {});

}  // namespace mirotabe
