#include "store/text_helpers.h"

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

bool SplitText(const std::string& text, char separator, std::vector<std::string>& list) {
  size_t start = 0;
  for (;;) {
    size_t end = text.find(separator, start);
    list.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return !list.empty();
}
