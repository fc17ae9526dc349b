// Runs an action on a thread with a small stack, to show that deep input
// ends in a named failure (or a result) whatever the stack's size.
#pragma once

#include "support/failure_name.hpp"

#include <pthread.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace hipaa::testing {

// The name of the failure `action` raises on a thread with a stack of
// `bytes`, or "" when it returns.
inline std::string failure_on_stack(std::size_t bytes, const std::function<void()>& action) {
  struct Call {
    const std::function<void()>* action;
    std::string failure;
  } call{&action, ""};
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, bytes);
  pthread_t thread;
  auto body = [](void* argument) -> void* {
    auto* c = static_cast<Call*>(argument);
    c->failure = failure_name(*c->action);
    return nullptr;
  };
  int started = pthread_create(&thread, &attributes, body, &call);
  pthread_attr_destroy(&attributes);
  if (started != 0) throw std::runtime_error("cannot start a thread");
  pthread_join(thread, nullptr);
  return call.failure;
}

inline constexpr std::size_t kSmallStack = std::size_t{1} << 20;

} // namespace hipaa::testing
