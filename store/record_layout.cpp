#include "store/record_layout.h"

namespace store {

void EncodeFields(const int32_t* fields, int count, unsigned char* out) {
  for (int i = 0; i < count; ++i) {
    auto v = static_cast<uint32_t>(fields[i]);
    for (int b = 0; b < 4; ++b) out[i * 4 + b] = static_cast<unsigned char>(v >> (8 * b));
  }
}

void DecodeFields(const unsigned char* in, int count, int32_t* fields) {
  for (int i = 0; i < count; ++i) {
    uint32_t v = 0;
    for (int b = 0; b < 4; ++b) v |= static_cast<uint32_t>(in[i * 4 + b]) << (8 * b);
    fields[i] = static_cast<int32_t>(v);
  }
}

FileHeader DecodeHeader(const unsigned char* in) {
  int32_t f[2];
  DecodeFields(in, 2, f);
  return {f[0], f[1]};
}

SectionHead DecodeSection(const unsigned char* in) {
  int32_t f[5];
  DecodeFields(in, 5, f);
  return {f[0], f[1], f[2], f[3], f[4]};
}

ValueHead DecodeValue(const unsigned char* in) {
  int32_t f[5];
  DecodeFields(in, 5, f);
  return {f[0], f[1], f[2], f[3], f[4]};
}

}  // namespace store
