// The local time zone in which the tools read and print dates.
#pragma once

#include <string>

namespace hipaa::tools {

// Without TZ the C library consults /etc/localtime again on every date
// conversion, a file-system call per value; naming the same file once gives
// the same dates and reads it once.
void read_local_zone_once();

// The zone's name for messages: TZ as set by the user, or "the local time
// zone (ABBREVIATION)".
std::string local_zone_name();

} // namespace hipaa::tools
