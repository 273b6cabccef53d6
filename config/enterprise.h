// What the system fixes about the 1C:Enterprise 7.7 executable, its registry keys and
// its infobase files, gathered in one place.
#pragma once

#include <string>

namespace enterprise {

// Infobase files, relative to the infobase folder.
inline constexpr const char* kMetadataFile = "1cv7.md";
inline constexpr const char* kEventLog = "SYSLOG\\1cv7.mlg";
inline constexpr const char* kEventLogBackup = "SYSLOG\\1cv7_mlg.bak";
inline constexpr const char* kUserListFile = "usrdef\\users.usr";
// Default file list beside the executable.
inline constexpr const char* kFileListFile = "1CV7FILE.LST";

// Registry, under HKEY_CURRENT_USER unless said otherwise.
inline constexpr const char* kVersionKey = "Software\\1C\\1Cv7\\7.7";  // also HKLM
inline constexpr const char* kTitlesKey = "Software\\1C\\1Cv7\\7.7\\Titles";
inline constexpr const char* kInstallPathValue = "1CPath";
inline constexpr const char* kTipValue = "ShowInStart";

// Key of the start-up tip switch of a registered infobase with this title.
std::string TipOfTheDayKey(const std::string& title);

// Batch start: "exe" CONFIG /D"infobase" [/Nuser [/Ppassword]] /@"batch file".
// The password goes only with a user.
std::string BuildCommandLine(const std::string& exePath, const std::string& infobasePath,
                             const std::string& user, const std::string& password,
                             const std::string& batchFile);
// The same command line for the journal, the password replaced by kPasswordMask.
std::string BuildJournalCommandLine(const std::string& exePath, const std::string& infobasePath,
                                    const std::string& user, const std::string& password,
                                    const std::string& batchFile);
inline constexpr const char* kPasswordMask = "*****";

}  // namespace enterprise
