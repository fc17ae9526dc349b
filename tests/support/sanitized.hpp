// Whether the tests run in the build with AddressSanitizer, which reserves
// far more address space than a program needs and runs it many times slower.
#pragma once

namespace hipaa::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

} // namespace hipaa::testing
