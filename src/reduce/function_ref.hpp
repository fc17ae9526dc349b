// A non-owning reference to a callable, for continuations that live on the
// caller's stack: no allocation, one indirect call.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

namespace hipaa {

template <class Signature> class FunctionRef;

template <class Result, class... Args> class FunctionRef<Result(Args...)> {
public:
  template <class Callable,
            class = std::enable_if_t<!std::is_same_v<std::decay_t<Callable>, FunctionRef>>>
  FunctionRef(Callable&& callable) noexcept // NOLINT: implicit by design
      : object_(const_cast<void*>(static_cast<const void*>(std::addressof(callable)))),
        call_(&invoke<std::remove_reference_t<Callable>>) {}

  Result operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

private:
  template <class Callable> static Result invoke(void* object, Args... args) {
    return (*static_cast<Callable*>(object))(std::forward<Args>(args)...);
  }

  void* object_;
  Result (*call_)(void*, Args...);
};

} // namespace hipaa
