// Guard against running out of stack in the recursive walks over policies
// and stored values.  Nesting depth is input-controlled and unbounded, so
// every recursive walk calls check_stack_depth() on entry: when less than a
// reserve of the calling thread's stack is left, the walk ends with the
// named failure Overflow instead of a crash, whatever the stack's size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hipaa {

namespace stack_detail {

// Lowest frame address at which a walk may still go deeper; 0 until the
// thread's stack bounds have been read.
extern thread_local constinit std::uintptr_t floor_address;

// Reads the calling thread's stack bounds and sets floor_address.
std::uintptr_t compute_floor();

[[noreturn]] void raise_exhausted();

} // namespace stack_detail

// Raises Overflow when the calling thread's stack is nearly exhausted.
inline void check_stack_depth() {
  std::uintptr_t floor = stack_detail::floor_address;
  if (floor == 0) [[unlikely]]
    floor = stack_detail::compute_floor();
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  if (here < floor) [[unlikely]]
    stack_detail::raise_exhausted();
}

// The bytes of stack the guard keeps free below its floor: room for the
// library calls and the unwinding that follow the last check.
std::size_t stack_reserve_bytes(std::size_t stack_size);

} // namespace hipaa
