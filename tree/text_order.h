// A case-insensitive order of Windows-1251 texts, the same on every platform: other
// signs, then digits, then Latin letters, then Cyrillic letters in alphabet order
// (ё after е, the other Slavic letters beside their neighbours).
#pragma once

#include <string>

// <0, 0 or >0 as a sorts before, with or after b.
int CompareText1251(const std::string& a, const std::string& b);

inline bool TextLess1251(const std::string& a, const std::string& b) {
  return CompareText1251(a, b) < 0;
}
