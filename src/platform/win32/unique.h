#pragma once

// A move-only owner for one handle of an operating-system object: it closes
// the handle exactly once, with the function it is declared with. Copying is
// deleted because a copied owner would close the same handle twice.

#include <utility>

namespace pellucor::win32 {

template <class H, auto Close>
class Unique {
 public:
  Unique() noexcept = default;
  explicit Unique(H handle) noexcept : handle_(handle) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  H get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != H{}; }

  // Gives the handle up without closing it.
  H release() noexcept { return std::exchange(handle_, H{}); }

  // Closes the handle held so far and takes `handle` instead.
  void reset(H handle = H{}) noexcept {
    const H old = std::exchange(handle_, handle);
    if (old != H{}) Close(old);
  }

 private:
  H handle_{};
};

}  // namespace pellucor::win32
