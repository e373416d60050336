// Event properties as the class library has them: a method pointer bound to an object, which can be called,
// tested for being assigned, and compared (two events are equal when they name the same method of the same
// object). Events made from plain functions or lambdas each have an identity of their own.
#pragma once
#include <QtGlobal>
#include <array>
#include <atomic>
#include <cstring>
#include <functional>
#include <utility>

class TObject;

template <typename Signature>
class TEvent;

template <typename R, typename... Args>
class TEvent<R(Args...)> {
public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // Binds Method of Object: the usual way an event handler is assigned.
  template <typename C, typename M>
  TEvent(C *object, M method)
      : function_(
            [object, method](Args... args) -> R { return (object->*method)(std::forward<Args>(args)...); }),
        object_(object) {
    static_assert(sizeof(M) <= sizeof(MethodKey), "method pointer too large");
    std::memcpy(key_.data(), &method, sizeof(M));
  }

  // An event from any callable; it equals only its own copies.
  template <typename F>
  static TEvent From(F function) {
    TEvent e;
    e.function_ = std::move(function);
    const quint64 id = NextFunctionId();
    std::memcpy(e.key_.data(), &id, sizeof id);
    return e;
  }

  explicit operator bool() const { return static_cast<bool>(function_); }
  bool Assigned() const { return static_cast<bool>(function_); }
  R operator()(Args... args) const { return function_(std::forward<Args>(args)...); }

  // The object the method belongs to (nullptr for plain functions).
  const void *Data() const { return object_; }

  bool operator==(const TEvent &other) const {
    if (!function_ || !other.function_) return !function_ && !other.function_;
    return object_ == other.object_ && key_ == other.key_;
  }
  bool operator!=(const TEvent &other) const { return !(*this == other); }

private:
  static quint64 NextFunctionId() {
    static std::atomic<quint64> next{1};
    return next++;
  }
  using MethodKey = std::array<unsigned char, 2 * sizeof(void *)>;
  std::function<R(Args...)> function_;
  const void *object_ = nullptr;
  MethodKey key_{};
};

using TNotifyEvent = TEvent<void(TObject *Sender)>;
