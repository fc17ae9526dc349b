// The local time zone in which the tools read and print dates.  Header-only,
// so that anything built from a tool's sources alone can use it.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

namespace hipaa::tools {

inline constexpr const char* kSystemZone = ":/etc/localtime";

// Without TZ the C library consults /etc/localtime again on every date
// conversion, a file-system call per value; naming the same file once gives
// the same dates and reads it once.
inline void read_local_zone_once() {
  if (std::getenv("TZ") == nullptr) ::setenv("TZ", kSystemZone, 1);
}

// The zone's name for messages: TZ as set by the user, or "the local time
// zone (ABBREVIATION)".
inline std::string local_zone_name() {
  const char* zone = std::getenv("TZ");
  if (zone != nullptr && *zone != '\0' && std::string(zone) != kSystemZone) {
    return *zone == ':' ? zone + 1 : zone;
  }
  tzset();
  return std::string("the local time zone (") + tzname[0] + ")";
}

} // namespace hipaa::tools
