#include "config/enterprise.h"

namespace enterprise {

std::string TipOfTheDayKey(const std::string& title) {
  return std::string(kVersionKey) + "\\" + title + "\\Config\\TipOfTheDay";
}

std::string BuildCommandLine(const std::string& exePath, const std::string& infobasePath,
                             const std::string& user, const std::string& password,
                             const std::string& batchFile) {
  std::string line = "\"" + exePath + "\" CONFIG /D\"" + infobasePath + "\"";
  if (!user.empty()) {
    line += " /N" + user;
    if (!password.empty()) line += " /P" + password;
  }
  return line + " /@\"" + batchFile + "\"";
}

std::string BuildJournalCommandLine(const std::string& exePath, const std::string& infobasePath,
                                    const std::string& user, const std::string& password,
                                    const std::string& batchFile) {
  return BuildCommandLine(exePath, infobasePath, user, password.empty() ? "" : kPasswordMask,
                          batchFile);
}

}  // namespace enterprise
