#pragma once
#include <string>

namespace norvane {

// The child programs take their command line as one text, the way the main program
// wrote it: the arguments after the program's name, one space apart.
inline std::string JoinedArguments(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace norvane
