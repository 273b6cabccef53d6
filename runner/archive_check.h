// Reading a new archive back before the step accepts it: a ZIP archive counts only when
// every entry decompresses whole with its CRC-32 and sizes; what was wrong is journalled.
#pragma once

#include <string>

#include "archive/zip_check.h"
#include "runner/run_control.h"

// True for the archives the step can read back: those with the extension ".zip" (any case).
bool IsZipArchivePath(const std::string& path);

enum class ArchiveVerdict { Sound, Damaged, Aborted };

// Checks the archive at path with the infobase's ZIP password (empty: none). A damaged
// archive journals "Архив поврежден"; entries that could only be checked for their
// structure (encrypted without a fitting password, other methods) journal a note. An
// abort stops the check between chunks.
ArchiveVerdict VerifyZipArchive(const std::string& path, const std::string& password,
                                RunControl& control);

// The journal's words for what was wrong ("" for none).
std::string DescribeZipFault(const ziparc::ZipCheckResult& result);
std::string DescribeUnchecked(unsigned unchecked);
