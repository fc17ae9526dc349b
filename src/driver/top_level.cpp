#include "driver/top_level.hpp"

#include "base/failure.hpp"
#include "driver/run.hpp"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <exception>
#include <iostream>

namespace hipaa {

namespace {

// Deeply nested policies and values are walked recursively by the checks,
// the engine and the printer; the audit runs on a thread with a large stack
// so that deep input ends in a result.  Where the address space is limited
// (ulimit -v) a smaller stack is taken, at most half of it and down to the
// minimum; every recursive walk measures the stack it has left, so input too
// deep for the stack at hand ends with the failure Overflow, never with a
// crash.
constexpr std::size_t kAuditStackBytes = std::size_t{4} << 30;
constexpr std::size_t kSmallestAuditStackBytes = std::size_t{64} << 20;

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

bool start_thread(pthread_t& thread, std::size_t stack_bytes, ThreadCall& call) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  bool started = pthread_attr_setstacksize(&attributes, stack_bytes) == 0 &&
                 pthread_create(&thread, &attributes, run_thread, &call) == 0;
  pthread_attr_destroy(&attributes);
  return started;
}

// The largest stack that leaves the heap room: half the address space
// when it is limited (ulimit -v), a stack that took nearly all of it would
// leave the audit's terms and formulas without memory.
std::size_t stack_bytes_allowed() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return kAuditStackBytes;
  }
  return static_cast<std::size_t>(limit.rlim_cur / 2);
}

// Runs `body` on a thread with the largest stack up to kAuditStackBytes
// that can be had; on the calling thread when no thread can be made at all.
int run_with_large_stack(const std::function<void()>& body) {
  ThreadCall call{&body};
  pthread_t thread;
  const std::size_t allowed = stack_bytes_allowed();
  for (std::size_t bytes = kAuditStackBytes; bytes >= kSmallestAuditStackBytes; bytes /= 2) {
    if (bytes > allowed && bytes > kSmallestAuditStackBytes) continue;
    if (!start_thread(thread, bytes, call)) continue;
    pthread_join(thread, nullptr);
    return call.status;
  }
  return run_under_handler(body);
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
  // A reader that closes its end of a pipe early must not kill the audit
  // silently: the write then fails with EPIPE and ends the run as the Io
  // failure of standard output, with status 1.
  ::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  return run_with_large_stack([&arguments] { run_audit(arguments, std::cout); });
}

} // namespace hipaa
