// What the stand-in for the 1C:Enterprise executable reads before it acts: its command
// line, the batch parameter file and the control file that tests leave in the infobase.
#pragma once

#include <string>
#include <vector>

namespace enterprise {

struct CommandLine {
  std::wstring infobase;   // /D, without quotes and trailing backslashes
  std::wstring user;       // /N
  std::wstring password;   // /P
  std::wstring batchFile;  // /@, without quotes
  bool hasInfobase = false;
};

// Parses the whole command line (GetCommandLineW): the program path, then switches
// /D, /N, /P and /@. A quoted value runs to its closing quote, an unquoted one to the
// next " /". Anything else (CONFIG, unknown switches) is ignored.
CommandLine ParseCommandLine(const std::wstring& line);

struct BatchRequest {
  std::vector<std::string> actions;  // requested in [General], in file order
  std::string saveToFile;            // [SaveData] SaveToFile, quotes removed
  std::string unloadToFile;          // [UnloadData] UnloadToFile, quotes removed
  std::string password;              // [UnloadData] Password: the unload archive's ZIP password
};

// Parses the batch parameter file (1251 text, LF or CR LF lines, ends at the first zero byte).
BatchRequest ParseBatchFile(const std::string& bytes);

struct Control {
  unsigned long sleepMs = 0;
  unsigned long exitCode = 0;
  bool crash = false;
  bool noArchive = false;
  bool noSyslog = false;
  unsigned long logLines = 2;
  bool deflate = false;          // deflated entries instead of stored ones
  unsigned long cutArchive = 0;  // bytes cut off the end of each archive written
};

// Parses the control file: key=value lines; unknown keys and bad numbers are ignored.
Control ParseControlFile(const std::string& bytes);

}  // namespace enterprise
