// The program part of a command line, for the program-file choosers of the editors.
#pragma once

#include <string>

// The program path of a command line, without quotes: everything before the last
// double quote if there is one, else before the first blank; then every quote removed.
std::string GetProgramFromCommandLine(const std::string& commandLine);

// A chosen program file as the program field keeps it: in double quotes when its path
// holds a blank, so that the run does not split it.
std::string ChosenProgramText(const std::string& path);
