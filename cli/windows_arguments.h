// What the converter's main() needs on Windows, where argv is in the ANSI
// code page (山田.txt would not survive a Western Windows) and the C
// runtime's standard streams are in text mode (LF written as CR LF, input
// ending at Ctrl-Z).
#pragma once

#include <string>
#include <vector>

namespace mirotabe {

// The arguments of the wide command line, as UTF-8 like every file name
// of the program, in argc/argv form.
class WideArguments {
 public:
  WideArguments();
  int count() const { return static_cast<int>(arguments_.size()); }
  // Null after the last, as argv is.
  char** values() { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;
};

// Makes standard input, output and error binary: the bytes pass as they
// are, in both directions. A console shows the UTF-8 of the messages.
void UseBinaryStandardStreams();

}  // namespace mirotabe
