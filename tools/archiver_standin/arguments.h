// Command line of the archiver stand-in: switches, the archive path, files and masks.
#pragma once

#include <string>
#include <vector>

namespace archiver {

struct Arguments {
  unsigned long sleepMs = 0;
  unsigned long exitCode = 0;
  bool fail = false;
  std::wstring archive;              // first non-switch argument, quotes removed
  std::vector<std::wstring> inputs;  // file names and masks, quotes removed
};

// Splits the command line at blanks outside double quotes and removes the quotes
// (backslashes are plain characters, so "C:\Base\" stays a folder path).
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// args excludes the program path. Switches are recognised only before the archive path.
Arguments ParseArguments(const std::vector<std::wstring>& args);

}  // namespace archiver
