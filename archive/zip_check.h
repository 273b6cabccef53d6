// Reads a ZIP archive back whole before it is trusted: the end record (and the ZIP64
// records where present), the central directory, each local header against it, and the
// data of every entry, stored or deflated, decrypted with the traditional ZIP password
// where one is given, against its CRC-32 and sizes. Entries are checked side by side on
// the processor's threads. Portable; no value in the archive makes it read outside the
// source.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "archive/byte_source.h"

namespace ziparc {

// What was wrong, the first fault met.
enum class ZipFault {
  None,
  Unreadable,           // the file could not be opened or read
  NoEndRecord,          // cut short, or not a ZIP archive
  SplitArchive,         // spans several disks
  BadZip64Record,       // ZIP64 end record or locator missing or inconsistent
  BadDirectory,         // central directory out of place or malformed
  BadLocalHeader,       // a local header missing or malformed
  LocalHeaderDiffers,   // a local header disagrees with the central directory
  DataOutOfPlace,       // an entry's data runs into the directory or past the end
  BadEncryptionHeader,  // the password fits other entries but not this one
  BadCompressedData,    // the deflated data does not inflate
  SizeMismatch,         // the data is not as long as the directory says
  CrcMismatch,          // the data's CRC-32 differs from the directory's
  Aborted,              // the stop request came first
};

// Why some entries were checked only for their structure (bits).
enum ZipUnchecked : unsigned {
  kUncheckedNoPassword = 1,     // encrypted, and no password was given
  kUncheckedWrongPassword = 2,  // encrypted, and the given password fits no entry
  kUncheckedEncryption = 4,     // strong or AES encryption
  kUncheckedMethod = 8,         // a compression method other than stored and deflate
};

struct ZipCheckResult {
  ZipFault fault = ZipFault::None;
  std::string entry;       // the entry at fault; empty for the archive's own records
  uint64_t entries = 0;    // entries in the central directory
  unsigned unchecked = 0;  // ZipUnchecked bits
  bool Sound() const { return fault == ZipFault::None; }
};

struct ZipCheckOptions {
  std::string password;  // the traditional ZIP password; empty: none
  // Asked on the calling thread, often while the check runs; true ends it (Aborted, unless
  // an entry before those left unchecked was found at fault).
  std::function<bool()> stopped;
};

ZipCheckResult CheckZip(ByteSource& source, const ZipCheckOptions& options = {});
// Opens path for reading (Unreadable when it cannot) and checks it.
ZipCheckResult CheckZipFile(const std::string& path, const ZipCheckOptions& options = {});

// Short English name of a fault, for tests and diagnostics.
const char* ZipFaultName(ZipFault fault);

}  // namespace ziparc
