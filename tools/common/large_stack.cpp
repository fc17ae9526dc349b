#include "large_stack.hpp"

#include <pthread.h>
#include <sys/resource.h>

#include <cstddef>
#include <exception>

namespace hipaa::tools {

namespace {

constexpr std::size_t kLargestStack = std::size_t{4} << 30;
constexpr std::size_t kSmallestStack = std::size_t{64} << 20;

struct Call {
  const std::function<int()>* body;
  int status = 1;
  std::exception_ptr error;
};

void* run_call(void* argument) {
  auto* call = static_cast<Call*>(argument);
  try {
    call->status = (*call->body)();
  } catch (...) {
    call->error = std::current_exception();
  }
  return nullptr;
}

bool start(pthread_t& thread, std::size_t bytes, Call& call) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  const bool started = pthread_attr_setstacksize(&attributes, bytes) == 0 &&
                       pthread_create(&thread, &attributes, run_call, &call) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

// Later threads' stacks: `bytes`, unless the address space is limited and
// might not hold many of them.
void set_thread_stacks(std::size_t bytes) {
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) return;
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return;
  if (pthread_attr_setstacksize(&attributes, bytes) == 0) {
    pthread_setattr_default_np(&attributes);
  }
  pthread_attr_destroy(&attributes);
}

} // namespace

int run_on_large_stack(const std::function<int()>& body, std::size_t thread_stack_bytes) {
  if (thread_stack_bytes > 0) set_thread_stacks(thread_stack_bytes);
  Call call{&body, 1, nullptr};
  pthread_t thread;
  for (std::size_t bytes = kLargestStack; bytes >= kSmallestStack; bytes /= 2) {
    if (!start(thread, bytes, call)) continue;
    pthread_join(thread, nullptr);
    if (call.error) std::rethrow_exception(call.error);
    return call.status;
  }
  return body();
}

} // namespace hipaa::tools
