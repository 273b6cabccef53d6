// Byte access to an open settings file. Files up to kImageLimit are held in memory
// while open: reads come from the image, writes go to the file first and then to the
// image, so the file's bytes are the same as with direct access. Larger files, or
// any file after a failed write, are read and written directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file.h"

namespace store {

class RecordStorage {
 public:
  static constexpr int64_t kImageLimit = int64_t{32} << 20;

  // Starts serving the open file; loads its image when it is small enough.
  void Attach(platform::File* file);
  void Detach();

  int64_t Length() const;
  // Reads exactly size bytes at offset; false if they are not all there.
  bool ReadAt(int64_t offset, void* out, size_t size);
  bool WriteAt(int64_t offset, const void* data, size_t size);
  // Copies count bytes from one offset to another (the ranges may overlap).
  bool MoveBytes(int64_t from, int64_t to, int64_t count);
  bool SetLength(int64_t length);
  bool HoldsImage() const { return cached_; }

 private:
  bool DirectRead(int64_t offset, void* out, size_t size);
  bool DirectMove(int64_t from, int64_t to, int64_t count);

  platform::File* file_ = nullptr;
  bool cached_ = false;
  std::string image_;
};

}  // namespace store
