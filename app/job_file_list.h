// The file list an infobase added by hand starts with: the lines of "1CV7FILE.LST",
// the list 1C:Enterprise keeps beside its executable.
#pragma once

#include <string>
#include <vector>

namespace app {

// The names of a list file's bytes: each line (ended by CR LF or the end of the data)
// from its second character on, at most 258 characters of it; empty names are skipped.
std::vector<std::string> ParseFileListText(const std::string& bytes);

// The list beside the executable at enterprisePath; empty when it cannot be read.
std::vector<std::string> ReadDefaultFileList(const std::string& enterprisePath);

}  // namespace app
