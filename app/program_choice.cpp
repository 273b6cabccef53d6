#include "app/program_choice.h"

#include <algorithm>

std::string GetProgramFromCommandLine(const std::string& commandLine) {
  std::string program;
  size_t quote = commandLine.rfind('"');
  if (quote != std::string::npos)
    program = commandLine.substr(0, quote);
  else
    program = commandLine.substr(0, commandLine.find(' '));
  program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
  return program;
}

std::string ChosenProgramText(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}
