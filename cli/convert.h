// mirotabe-convert: the vertical conversion for scripts and batch jobs.
// It reads a text file like the program's open command, converts it under
// the program's settings and writes the bytes its save command would write.
#pragma once

#include <ostream>

namespace mirotabe {

// Runs the command with its arguments (argv[0] is the program's name);
// the help goes to `out`, errors and warnings to `err`, the result to
// standard output or the -o file. Returns the exit status.
int RunConvert(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace mirotabe
