// Fixed facts of the ZIP format that the check and the test writers share: record
// signatures and sizes, little-endian fields, and the traditional ZIP password cipher.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ziparc {

inline constexpr uint32_t kLocalSignature = 0x04034b50;
inline constexpr uint32_t kCentralSignature = 0x02014b50;
inline constexpr uint32_t kEndSignature = 0x06054b50;
inline constexpr uint32_t kZip64EndSignature = 0x06064b50;
inline constexpr uint32_t kZip64LocatorSignature = 0x07064b50;
inline constexpr uint32_t kDescriptorSignature = 0x08074b50;

inline constexpr size_t kLocalSize = 30;
inline constexpr size_t kCentralSize = 46;
inline constexpr size_t kEndSize = 22;
inline constexpr size_t kZip64EndSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;
inline constexpr size_t kEncryptionHeaderSize = 12;
inline constexpr uint16_t kZip64ExtraId = 0x0001;

inline constexpr uint16_t kFlagEncrypted = 1 << 0;
inline constexpr uint16_t kFlagDescriptor = 1 << 3;
inline constexpr uint16_t kFlagStrongEncryption = 1 << 6;

inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflate = 8;
inline constexpr uint16_t kMethodAes = 99;

inline uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const unsigned char* p) {
  return Get16(p) | static_cast<uint32_t>(Get16(p + 2)) << 16;
}
inline uint64_t Get64(const unsigned char* p) {
  return Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32;
}

// CRC-32 as ZIP uses it; pass the previous result to continue a running sum.
inline uint32_t Crc32(std::string_view data, uint32_t crc = 0) {
  while (!data.empty()) {
    const uInt n = data.size() > 0x40000000u ? 0x40000000u : static_cast<uInt>(data.size());
    crc = static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(data.data()), n));
    data.remove_prefix(n);
  }
  return crc;
}

// The three keys of the traditional ZIP password cipher (PKWARE's original one).
class ZipCipher {
 public:
  explicit ZipCipher(std::string_view password) {
    for (char c : password) Update(static_cast<unsigned char>(c));
  }
  unsigned char Decrypt(unsigned char c) {
    const unsigned char plain = c ^ KeyByte();
    Update(plain);
    return plain;
  }
  unsigned char Encrypt(unsigned char plain) {
    const unsigned char c = plain ^ KeyByte();
    Update(plain);
    return c;
  }
  void Decrypt(unsigned char* data, size_t size) {
    for (size_t i = 0; i < size; ++i) data[i] = Decrypt(data[i]);
  }

 private:
  static uint32_t CrcByte(uint32_t crc, unsigned char b) {
    // One step of the raw CRC-32 register, as the cipher defines its key update.
    static const z_crc_t* const table = get_crc_table();
    return static_cast<uint32_t>(table[(crc ^ b) & 0xFF]) ^ (crc >> 8);
  }
  unsigned char KeyByte() const {
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    return static_cast<unsigned char>((t * (t ^ 1)) >> 8);
  }
  void Update(unsigned char plain) {
    keys_[0] = CrcByte(keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * 134775813u + 1;
    keys_[2] = CrcByte(keys_[2], static_cast<unsigned char>(keys_[1] >> 24));
  }

  uint32_t keys_[3] = {305419896u, 591751049u, 878082192u};
};

}  // namespace ziparc
