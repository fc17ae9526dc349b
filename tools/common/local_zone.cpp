#include "local_zone.hpp"

#include <cstdlib>
#include <ctime>

namespace hipaa::tools {

namespace {
constexpr const char* kSystemZone = ":/etc/localtime";
}

void read_local_zone_once() {
  if (std::getenv("TZ") == nullptr) ::setenv("TZ", kSystemZone, 1);
}

std::string local_zone_name() {
  const char* zone = std::getenv("TZ");
  if (zone != nullptr && *zone != '\0' && std::string(zone) != kSystemZone) {
    return *zone == ':' ? zone + 1 : zone;
  }
  tzset();
  return std::string("the local time zone (") + tzname[0] + ")";
}

} // namespace hipaa::tools
