// Small text helpers shared by both programs.
#pragma once

#include <string>
#include <vector>

// The program path of a command line, without quotes: everything before the last
// double quote if there is one, else before the first blank; then every quote removed.
std::string GetProgramFromCommandLine(const std::string& commandLine);

// Appends every piece of text between separators to list (empty pieces included);
// true if the list is not empty afterwards.
bool SplitText(const std::string& text, char separator, std::vector<std::string>& list);
