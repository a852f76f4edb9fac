#include "acquisition/sample_pace.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace quarvel {

namespace {

constexpr int64_t kShortestPeriodNs = 1000;
constexpr int64_t kLongestPeriodNs = 1000LL * 1000 * 1000 * 1000;

}  // namespace

int64_t SteadyClock::now_ns() const {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t sample_period_ns(double rate_hz) {
  if (!(rate_hz > 0)) return kLongestPeriodNs;
  const double ns = std::round(1e9 / rate_hz);
  if (!(ns < static_cast<double>(kLongestPeriodNs))) return kLongestPeriodNs;
  return std::max(static_cast<int64_t>(ns), kShortestPeriodNs);
}

void SamplePace::start(int64_t period_ns) {
  origin_ns_ = clock_->now_ns();
  due_at_origin_ = 0;
  period_ns_ = std::clamp(period_ns, kShortestPeriodNs, kLongestPeriodNs);
  taken_ = 0;
  running_ = true;
}

void SamplePace::set_period(int64_t period_ns) {
  period_ns = std::clamp(period_ns, kShortestPeriodNs, kLongestPeriodNs);
  if (period_ns == period_ns_) return;
  const int64_t now = clock_->now_ns();
  due_at_origin_ = due_by(now);
  origin_ns_ = now;
  period_ns_ = period_ns;
}

// A clock read before the origin (it cannot go back, but a replaced one might) owes nothing new.
int64_t SamplePace::due_by(int64_t now) const {
  return due_at_origin_ + (now > origin_ns_ ? (now - origin_ns_) / period_ns_ : 0);
}

int64_t SamplePace::owed() const {
  if (!running_) return 0;
  return std::max<int64_t>(due_by(clock_->now_ns()) - taken_, 0);
}

bool SamplePace::take() {
  if (owed() == 0) return false;
  ++taken_;
  return true;
}

int64_t SamplePace::until_next_ns() const {
  if (!running_) return -1;
  const int64_t now = clock_->now_ns();
  const int64_t next = taken_ + 1;
  if (due_by(now) >= next) return 0;
  // Sample `next` falls due once (t - origin) / period reaches next - due_at_origin.
  const int64_t at = origin_ns_ + (next - due_at_origin_) * period_ns_;
  return std::max<int64_t>(at - now, 0);
}

}  // namespace quarvel
