#include "base/out_of_memory.hpp"

#ifdef HIPAA_WITH_MIMALLOC
#include <mimalloc.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace hipaa {

#ifdef HIPAA_WITH_MIMALLOC
namespace {

const char* g_message = "";
int g_status = 1;

// Called by the allocator on its errors.  Neither throwing through it nor
// returning is possible where it would otherwise abort: the process ends
// here, as an exception that reached the top would have ended it.
extern "C" void on_allocator_error(int error, void*) {
  if (error != ENOMEM && error != EOVERFLOW) return;
  std::fflush(stdout);
  const std::size_t length = std::strlen(g_message);
  if (::write(STDERR_FILENO, g_message, length) < 0) {
    // Nothing more can be said.
  }
  ::_exit(g_status);
}

} // namespace

void exit_when_memory_runs_out(const char* message, int status) {
  g_message = message;
  g_status = status;
  mi_register_error(on_allocator_error, nullptr);
}
#else
void exit_when_memory_runs_out(const char*, int) {}
#endif

} // namespace hipaa
