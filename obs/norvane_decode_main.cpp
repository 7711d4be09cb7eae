// norvane-decode: prints the 63-column decoded text (or, with --describe, the description
// words) of every report line given on standard input or in the files named on the
// command line.
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "obs/decoded_observation.h"
#include "obs/description.h"
#include "obs/report_cleaning.h"

namespace {

struct Options {
  bool describe = false;
  bool useCelsius = true;
};

void DecodeLines(std::istream& in, std::ostream& out, const Options& options) {
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    const norvane::DecodedObservation decoded = norvane::DecodeReport(norvane::CleanReport(line));
    if (options.describe) {
      out << norvane::DescribeObservation(decoded, options.useCelsius) << '\n';
    } else {
      out << decoded << '\n';
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--describe") {
      options.describe = true;
      continue;
    }
    if (arg == "--fahrenheit") {
      options.useCelsius = false;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      std::cout << "usage: norvane-decode [--describe [--fahrenheit]] [file...]\n"
                   "Reads one report per line (standard input when no file is named) and prints\n"
                   "its 63-column decoded text, or with --describe its description in words\n"
                   "(temperatures in Celsius unless --fahrenheit is given).\n";
      return 0;
    }
    files.emplace_back(arg);
  }
  std::ios::sync_with_stdio(false);
  if (files.empty()) {
    DecodeLines(std::cin, std::cout, options);
    return 0;
  }
  int status = 0;
  for (const std::string& name : files) {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
      std::cerr << "norvane-decode: cannot open \"" << name << "\"\n";
      status = 1;
      continue;
    }
    DecodeLines(in, std::cout, options);
  }
  return status;
}
