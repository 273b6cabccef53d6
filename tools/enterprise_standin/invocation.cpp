#include "tools/enterprise_standin/invocation.h"

#include <cctype>
#include <cstdlib>
#include <cwctype>

namespace enterprise {
namespace {

size_t SkipProgramPath(const std::wstring& line) {
  if (!line.empty() && line[0] == L'"') {
    size_t close = line.find(L'"', 1);
    return close == std::wstring::npos ? line.size() : close + 1;
  }
  size_t blank = line.find_first_of(L" \t");
  return blank == std::wstring::npos ? line.size() : blank;
}

// Reads a switch value at `at`; leaves `at` after it.
std::wstring ReadValue(const std::wstring& line, size_t& at) {
  if (at < line.size() && line[at] == L'"') {
    size_t close = line.find(L'"', at + 1);
    if (close == std::wstring::npos) close = line.size();
    std::wstring value = line.substr(at + 1, close - at - 1);
    at = close < line.size() ? close + 1 : close;
    return value;
  }
  size_t next = line.find(L" /", at);
  if (next == std::wstring::npos) next = line.size();
  std::wstring value = line.substr(at, next - at);
  at = next;
  while (!value.empty() && (value.back() == L' ' || value.back() == L'\t')) value.pop_back();
  return value;
}

// Reads the argument at `at` and moves past it. True for a switch "/K<value>" (also
// when quoted as a whole, "/KC:\Base\"), false for blanks and bare words such as CONFIG.
bool ReadSwitch(const std::wstring& line, size_t& at, wchar_t& key, std::wstring& value) {
  if (line[at] == L' ' || line[at] == L'\t') {
    ++at;
    return false;
  }
  if (line.compare(at, 2, L"\"/") == 0 && at + 2 < line.size()) {
    key = static_cast<wchar_t>(std::towupper(line[at + 2]));
    size_t close = line.find(L'"', at + 3);
    if (close == std::wstring::npos) close = line.size();
    value = line.substr(at + 3, close - at - 3);
    at = close + 1;
    return true;
  }
  if (line[at] != L'/' || at + 1 >= line.size()) {
    size_t blank = line.find_first_of(L" \t", at);
    at = blank == std::wstring::npos ? line.size() : blank;
    return false;
  }
  key = static_cast<wchar_t>(std::towupper(line[at + 1]));
  at += 2;
  value = ReadValue(line, at);
  return true;
}

// "C:\Base\" -> "C:\Base"; a drive root keeps its backslash.
std::wstring TrimFolder(std::wstring path) {
  while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
         !(path.size() == 3 && path[1] == L':'))
    path.pop_back();
  return path;
}

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool EqualAscii(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

std::string RemoveQuotes(std::string s) {
  std::string out;
  for (char c : s)
    if (c != '"') out.push_back(c);
  return Trim(out);
}

// Calls f(section, key, value) for every key=value line of an ini-like text.
template <typename F>
void ForEachKey(const std::string& text, F f) {
  std::string section;
  size_t at = 0;
  while (at < text.size()) {
    size_t eol = text.find('\n', at);
    if (eol == std::string::npos) eol = text.size();
    std::string line = Trim(text.substr(at, eol - at));
    at = eol + 1;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    size_t eq = line.find('=');
    if (eq != std::string::npos) f(section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
  }
}

bool ReadNumber(const std::string& text, unsigned long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  unsigned long v = std::strtoul(text.c_str(), &end, 0);
  if (*end != '\0') return false;
  out = v;
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::wstring& line) {
  CommandLine out;
  size_t at = SkipProgramPath(line);
  wchar_t key = 0;
  std::wstring value;
  while (at < line.size()) {
    if (!ReadSwitch(line, at, key, value)) continue;
    if (key == L'D') {
      out.infobase = TrimFolder(value);
      out.hasInfobase = !out.infobase.empty();
    } else if (key == L'N') {
      out.user = value;
    } else if (key == L'P') {
      out.password = value;
    } else if (key == L'@') {
      out.batchFile = value;
    }
  }
  return out;
}

BatchRequest ParseBatchFile(const std::string& bytes) {
  BatchRequest out;
  ForEachKey(
      bytes.substr(0, bytes.find('\0')),
      [&out](const std::string& section, const std::string& key, const std::string& value) {
        if (EqualAscii(section, "General") && EqualAscii(value, "Y")) {
          for (const char* action : {"SaveData", "UnloadData", "CheckAndRepair", "AutoExchange"})
            if (EqualAscii(key, action)) out.actions.push_back(action);
        } else if (EqualAscii(section, "SaveData") && EqualAscii(key, "SaveToFile")) {
          out.saveToFile = RemoveQuotes(value);
        } else if (EqualAscii(section, "UnloadData") && EqualAscii(key, "UnloadToFile")) {
          out.unloadToFile = RemoveQuotes(value);
        } else if (EqualAscii(section, "UnloadData") && EqualAscii(key, "Password")) {
          out.password = value;
        }
      });
  return out;
}

Control ParseControlFile(const std::string& bytes) {
  Control out;
  ForEachKey(bytes, [&out](const std::string&, const std::string& key, const std::string& value) {
    unsigned long n = 0;
    if (!ReadNumber(value, n)) return;
    if (key == "sleep_ms")
      out.sleepMs = n;
    else if (key == "exit_code")
      out.exitCode = n;
    else if (key == "crash")
      out.crash = n != 0;
    else if (key == "no_archive")
      out.noArchive = n != 0;
    else if (key == "no_syslog")
      out.noSyslog = n != 0;
    else if (key == "log_lines")
      out.logLines = n;
    else if (key == "deflate")
      out.deflate = n != 0;
    else if (key == "cut_archive")
      out.cutArchive = n;
  });
  return out;
}

}  // namespace enterprise
