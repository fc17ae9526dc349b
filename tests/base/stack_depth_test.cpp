#include "base/stack_depth.hpp"
#include "support/small_stack.hpp"

#include <gtest/gtest.h>

namespace hipaa::testing {
namespace {

// Recurses until the guard stops it (no stack reaches the last level); the
// volatile buffer gives every level a frame of its own.
int unbounded(int depth) {
  check_stack_depth();
  if (depth == 1 << 30) return 0;
  volatile char frame[256];
  frame[depth % 256] = static_cast<char>(depth);
  return unbounded(depth + 1) + frame[depth % 256];
}

TEST(StackDepth, UnboundedRecursionEndsWithOverflowWhateverTheStack) {
  for (std::size_t bytes : {std::size_t{256} << 10, std::size_t{1} << 20, std::size_t{64} << 20})
    EXPECT_EQ(failure_on_stack(bytes, [] { unbounded(0); }), "Overflow") << bytes;
}

TEST(StackDepth, ReserveIsAQuarterOfASmallStackAndAtMostOneMebibyte) {
  EXPECT_EQ(stack_reserve_bytes(std::size_t{256} << 10), std::size_t{64} << 10);
  EXPECT_EQ(stack_reserve_bytes(std::size_t{4} << 30), std::size_t{1} << 20);
}

} // namespace
} // namespace hipaa::testing
