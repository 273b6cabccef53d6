// The journal texts of a job run that depend only on values: where the journal lies,
// the header of a run and the job list of one infobase.
#pragma once

#include <string>
#include <vector>

#include "config/entries.h"
#include "platform/fs.h"

inline constexpr const char* kStarsLine = "************************************";

// A name without a backslash lies in dataFolder; a name with one is a path of its own.
std::string JournalPath(const std::string& dataFolder, const std::string& fileName);

// Stars, date and time of the run's start, the configuration file's name.
std::vector<std::string> JournalHeaderLines(const platform::fs::LocalTime& start,
                                            const std::string& configPath);

// "Список заданий:" and one line per job of the entry, in journal order.
struct JobList {
  std::vector<std::string> lines;
  int jobCount = 0;  // the duplicate copy is listed but is no job of its own
};
JobList BuildJobList(const InfobaseEntry& entry);

// The text of a read failure: the file named is the one the operator knows.
std::string ReadErrorText(const std::string& configPath);
