// Sets a variable for the length of a scope and restores its earlier value when the scope ends.
#pragma once

template <typename T>
class ScopedValue {
public:
  ScopedValue(T &target, T value) : target_(target), saved_(target) { target_ = value; }
  ~ScopedValue() { target_ = saved_; }
  ScopedValue(const ScopedValue &) = delete;
  ScopedValue &operator=(const ScopedValue &) = delete;

private:
  T &target_;
  T saved_;
};
