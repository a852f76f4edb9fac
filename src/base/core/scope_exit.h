// Runs a function when the scope ends, however it ends (an exception included): for controls a
// command disables while it works and must give back.
#pragma once

#include <utility>

namespace quarvel {

template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() { f_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F f_;
};

}  // namespace quarvel
