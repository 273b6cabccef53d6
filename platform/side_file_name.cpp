// Names of the files a save keeps beside its target.
#include <cctype>

#include "platform/fs.h"

namespace platform::fs {

namespace {

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace

// The last characters of the name give way to a tag, so the side path is never longer
// than the target's and a target at the length limit still saves. Every tag starts with
// its own character, so the kinds differ from each other even for one-character names,
// and the second tag of a kind is taken when the first would give the target's own name.
std::string SideFileName(const std::string& target, SideFile kind) {
  const size_t slash = target.find_last_of("\\/");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t nameLength = target.size() - nameStart;
  const bool replacement = kind == SideFile::Replacement;
  std::string side;
  for (const char* tag : {replacement ? "~zv" : "$zv", replacement ? "!zv" : "#zv"}) {
    const size_t tagLength = nameLength < 3 ? nameLength : 3;
    side = target.substr(0, target.size() - tagLength) + std::string(tag, tagLength);
    if (!SameName(side, target)) break;
  }
  return side;
}

}  // namespace platform::fs
