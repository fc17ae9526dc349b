// The name of the failure an action raises, for tests of every subsystem.
#pragma once

#include "base/failure.hpp"

#include <functional>
#include <string>

namespace hipaa::testing {

// The name of the failure `action` raises, or "" when it returns.
inline std::string failure_name(const std::function<void()>& action) {
  try {
    action();
  } catch (const Failure& failure) {
    return failure.name();
  }
  return "";
}

} // namespace hipaa::testing
