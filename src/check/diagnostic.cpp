#include "check/diagnostic.hpp"

#include "base/failure.hpp"

#include <ostream>

namespace hipaa {

void report_failure(std::ostream& out, const std::string& line, const char* failure) {
  out << line;
  out.flush();
  raise(failure);
}

} // namespace hipaa
