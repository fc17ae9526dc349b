// Running on a large stack, as the audit does: stored values and policies
// may nest to any depth, and the recursive walks over them end with the
// failure Overflow only when the stack at hand is used up.
#pragma once

#include <cstddef>
#include <functional>

namespace hipaa::tools {

// Runs `body` on a thread with the largest stack up to 4 GiB that the
// address space allows (down to 64 MiB), or on the calling thread when no
// such thread can be made; returns its status, or throws what it threw.
// With `thread_stack_bytes`, threads started later get stacks of that size
// instead of the system's default of a few MiB, unless the address space is
// limited (ulimit -v).
int run_on_large_stack(const std::function<int()>& body, std::size_t thread_stack_bytes = 0);

} // namespace hipaa::tools
