#include "widgets/folder_path.h"

namespace widgets {

std::string NormalizeFolder(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
    if (folder.size() == 3 && folder[1] == ':') break;  // "C:\" keeps its backslash
    folder.pop_back();
  }
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  return folder;
}

}  // namespace widgets
