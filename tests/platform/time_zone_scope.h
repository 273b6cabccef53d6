// Sets TZ for the life of the object (native builds, where local time follows TZ).
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace testsupport {

class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) : had_(std::getenv("TZ") != nullptr) {
    if (had_) old_ = std::getenv("TZ");
    setenv("TZ", zone, 1);
    tzset();
  }
  ~TimeZoneScope() {
    had_ ? setenv("TZ", old_.c_str(), 1) : unsetenv("TZ");
    tzset();
  }
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;

 private:
  bool had_;
  std::string old_;
};

}  // namespace testsupport
