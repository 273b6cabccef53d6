#include "app/job_file_list.h"

#include <algorithm>

#include "platform/fs.h"

namespace app {

namespace {

// 1C:Enterprise reads a line of the list in one chunk of this many bytes.
constexpr size_t kChunk = 259;

}  // namespace

std::vector<std::string> ParseFileListText(const std::string& bytes) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    const size_t lineEnd = std::min({end, bytes.size(), start + kChunk});
    if (lineEnd > start + 1) names.push_back(bytes.substr(start + 1, lineEnd - start - 1));
    // A line longer than the chunk is cut; its rest is not a line of its own.
    start = end == std::string::npos ? bytes.size() : end + 2;
  }
  return names;
}

std::vector<std::string> ReadDefaultFileList(const std::string& enterprisePath) {
  const size_t slash = enterprisePath.rfind('\\');
  if (slash == std::string::npos) return {};
  const auto bytes =
      platform::fs::ReadWholeFile(enterprisePath.substr(0, slash + 1) + "1CV7FILE.LST");
  return bytes ? ParseFileListText(*bytes) : std::vector<std::string>{};
}

}  // namespace app
