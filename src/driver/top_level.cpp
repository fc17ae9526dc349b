#include "driver/top_level.hpp"

#include "base/failure.hpp"
#include "driver/run.hpp"

#include <pthread.h>

#include <cstdio>
#include <exception>
#include <iostream>

namespace hipaa {

namespace {

// Deeply nested policies and values are walked recursively by the checks,
// the engine and the printer; the audit runs on a thread with a large stack
// so that such input ends in a result or a named failure, not a crash.
constexpr std::size_t kAuditStackBytes = std::size_t{4} << 30;

bool write_stderr(const std::string& text) {
  std::cerr << text;
  std::cerr.flush();
  return static_cast<bool>(std::cerr);
}

int report_failure(const std::string& message) {
  std::cout.flush();
  if (!write_stderr("unhandled exception: " + message + "\n")) {
    std::cerr.clear();
    write_stderr("Top-level handler raised exception.\n");
  }
  return 1;
}

struct ThreadCall {
  const std::function<void()>* body;
  int status = 1;
};

void* run_thread(void* argument) {
  auto* call = static_cast<ThreadCall*>(argument);
  call->status = run_under_handler(*call->body);
  return nullptr;
}

// Runs `body` on a thread with a large stack; falls back to the calling
// thread when such a thread cannot be made.
int run_with_large_stack(const std::function<void()>& body) {
  ThreadCall call{&body};
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return run_under_handler(body);
  pthread_t thread;
  bool started = pthread_attr_setstacksize(&attributes, kAuditStackBytes) == 0 &&
                 pthread_create(&thread, &attributes, run_thread, &call) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) return run_under_handler(body);
  pthread_join(thread, nullptr);
  return call.status;
}

} // namespace

int run_under_handler(const std::function<void()>& body) {
  try {
    body();
  } catch (const Failure& failure) {
    return report_failure(failure.message());
  } catch (const std::bad_alloc&) {
    return report_failure("Out of memory");
  } catch (const std::exception& error) {
    return report_failure(error.what());
  }
  std::cout.flush();
  if (!std::cout) {
    write_stderr("Top-level suffix raised exception.\n");
    return 1;
  }
  return 0;
}

int run_main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return run_with_large_stack([&arguments] { run_audit(arguments, std::cout); });
}

} // namespace hipaa
