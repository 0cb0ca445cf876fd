// Runs a built program as a shell script would: its arguments quoted, its
// standard input from bytes, and its exit status and both output streams
// collected.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_folder.h"

namespace mirotabe::testing_support {

struct Outcome {
  int status = -1;  // the exit status; -1 when the program did not exit
  std::string out;
  std::string err;
};

// `argument` as one word of the shell, whatever it holds.
inline std::string Quoted(std::string_view argument) {
  std::string quoted = "'";
  for (const char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// Runs `program` with `arguments`, `input` on its standard input, through
// files in `folder`. `prefix` stands before the program in the command,
// for settings of the environment ("env -u DISPLAY").
inline Outcome RunProgram(const TempFolder& folder, std::string_view program,
                          const std::vector<std::string>& arguments, std::string_view input = {},
                          std::string_view prefix = {}) {
  WriteFile(folder.PathOf("stdin"), input);
  std::string command = std::string(prefix) + " " + Quoted(program);
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  command += " <" + Quoted(folder.PathOf("stdin")) + " >" + Quoted(folder.PathOf("stdout")) +
             " 2>" + Quoted(folder.PathOf("stderr"));
  const int raw = std::system(command.c_str());
  return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(folder.PathOf("stdout")),
                 ReadFile(folder.PathOf("stderr"))};
}

}  // namespace mirotabe::testing_support
