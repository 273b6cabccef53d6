#include "tree/user_list.h"

bool ReadUserList(const std::string&, std::vector<std::string>& names) {
  names.clear();
  return false;
}
