#include "tree/user_list_scan.h"

std::vector<std::string> ScanUserNames(std::string_view bytes) {
  std::vector<std::string> names;
  size_t opens = 0, closes = 0, quotes = 0;
  size_t fifth = 0, sixth = 0;  // positions of the fifth and sixth quote after the last "{"
  bool seenOpen = false;
  size_t budget = bytes.size();  // many "}" after one "{" would repeat one name endlessly
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '{') {
      ++opens;
      seenOpen = true;
      quotes = 0;
    } else if (c == '"') {
      ++quotes;
      if (quotes == 5) fifth = i;
      if (quotes == 6) sixth = i;
    } else if (c == '}') {
      if (++closes == opens) break;
      if (!seenOpen || quotes < 6 || sixth == fifth + 1) continue;
      const size_t length = sixth - fifth - 1;
      if (length > budget) break;
      budget -= length;
      names.emplace_back(bytes.substr(fifth + 1, length));
    }
  }
  return names;
}
