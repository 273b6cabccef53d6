#include "tree/text_order.h"

#include <array>
#include <cstdint>

namespace {

// Cyrillic lower-case letters of code page 1251 in alphabet order.
constexpr unsigned char kCyrillic[] = {
    0xE0, 0xE1, 0xE2, 0xE3, 0xB4, 0xE4, 0x90, 0x83, 0xE5, 0xB8, 0xBA, 0xE6, 0xE7, 0xBE, 0xE8, 0xB3,
    0xBF, 0xE9, 0xBC, 0xEA, 0xEB, 0x9A, 0xEC, 0xED, 0x9C, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0x9E, 0x9D,
    0xF3, 0xA2, 0xF4, 0xF5, 0xF6, 0xF7, 0x9F, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF};

// Upper-case letters outside 0xC0..0xDF with their lower-case forms.
constexpr unsigned char kUpperPairs[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D}, {0x8E, 0x9E},
    {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
    {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};

constexpr std::array<uint16_t, 256> BuildWeights() {
  std::array<unsigned char, 256> lower{};
  for (int c = 0; c < 256; ++c) lower[c] = static_cast<unsigned char>(c);
  for (int c = 'A'; c <= 'Z'; ++c) lower[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) lower[c] = static_cast<unsigned char>(c + 32);
  for (const auto& pair : kUpperPairs) lower[pair[0]] = pair[1];

  std::array<uint16_t, 256> byLower{};
  for (int c = 0; c < 256; ++c) byLower[c] = static_cast<uint16_t>(c);  // other signs first
  for (int c = '0'; c <= '9'; ++c) byLower[c] = static_cast<uint16_t>(256 + c - '0');
  for (int c = 'a'; c <= 'z'; ++c) byLower[c] = static_cast<uint16_t>(300 + c - 'a');
  for (unsigned i = 0; i < sizeof(kCyrillic); ++i) byLower[kCyrillic[i]] = static_cast<uint16_t>(400 + i);

  std::array<uint16_t, 256> weights{};
  for (int c = 0; c < 256; ++c) weights[c] = byLower[lower[c]];
  return weights;
}

constexpr std::array<uint16_t, 256> kWeights = BuildWeights();

}  // namespace

int CompareText1251(const std::string& a, const std::string& b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const int wa = kWeights[static_cast<unsigned char>(a[i])];
    const int wb = kWeights[static_cast<unsigned char>(b[i])];
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
