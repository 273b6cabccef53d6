// The records at the end of a ZIP archive: the end record, the ZIP64 end record and
// locator where present, and the central directory with one record per entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/byte_source.h"
#include "archive/zip_check.h"

namespace ziparc {

struct CentralEntry {
  std::string name;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint32_t crc = 0;
  uint64_t packedSize = 0;
  uint64_t size = 0;
  uint64_t localOffset = 0;
};

struct Directory {
  uint64_t offset = 0;  // start of the central directory; all entry data lies before it
  std::vector<CentralEntry> entries;
};

// Fills out from the source's end records and central directory, or names the fault.
ZipFault ReadDirectory(const ByteSource& source, Directory& out);

// Reads the ZIP64 extended information of an extra field block: each value whose
// 32-bit (16-bit for the disk) field holds all ones is taken from the block, in order.
// False when the block is malformed or lacks a value it must hold.
struct Zip64Values {
  uint64_t* size;
  uint64_t* packedSize;
  uint64_t* localOffset;  // null in a local header
};
bool ReadZip64Extra(const unsigned char* extra, size_t length, const Zip64Values& values);

}  // namespace ziparc
