#include "store/text_helpers.h"

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
