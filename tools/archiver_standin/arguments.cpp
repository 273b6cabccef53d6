#include "tools/archiver_standin/arguments.h"

#include <cwchar>

namespace archiver {
namespace {

bool ReadSwitchNumber(const std::wstring& arg, const wchar_t* prefix, unsigned long& out) {
  size_t n = std::wcslen(prefix);
  if (arg.compare(0, n, prefix) != 0 || arg.size() == n) return false;
  wchar_t* end = nullptr;
  unsigned long v = std::wcstoul(arg.c_str() + n, &end, 0);
  if (*end != L'\0') return false;
  out = v;
  return true;
}

}  // namespace

std::vector<std::wstring> SplitCommandLine(const std::wstring& line) {
  std::vector<std::wstring> out;
  std::wstring current;
  bool inQuotes = false, inToken = false;
  for (wchar_t c : line) {
    if (c == L'"') {
      inQuotes = !inQuotes;
      inToken = true;
    } else if ((c == L' ' || c == L'\t') && !inQuotes) {
      if (inToken) out.push_back(current);
      current.clear();
      inToken = false;
    } else {
      current.push_back(c);
      inToken = true;
    }
  }
  if (inToken) out.push_back(current);
  return out;
}

Arguments ParseArguments(const std::vector<std::wstring>& args) {
  Arguments out;
  bool haveArchive = false;
  for (const std::wstring& arg : args) {
    if (haveArchive) {
      out.inputs.push_back(arg);
    } else if (!arg.empty() && arg[0] == L'-') {
      if (arg == L"-fail") out.fail = true;
      ReadSwitchNumber(arg, L"-sleep=", out.sleepMs);
      ReadSwitchNumber(arg, L"-exit=", out.exitCode);
    } else {
      out.archive = arg;
      haveArchive = true;
    }
  }
  return out;
}

}  // namespace archiver
