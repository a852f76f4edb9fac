// The marker words of a recording (0 none, 100 marker on, 200 stimulus), indexed from 0 like the
// samples, with a summary (core/summary.h) that finds the first or last word of a kind in any
// stretch without reading it all. Reads and writes are told apart: indexing a const array or
// values() reads; set(), indexing a non-const array and assigning, and assignment write and drop
// the summary; resize() keeps it up to date.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/summary.h"

namespace quarvel {

class MarkerArray {
 public:
  // A word of a non-const array: reading it reads, assigning to it writes.
  class Ref {
   public:
    Ref(MarkerArray& a, std::size_t i) : a_(a), i_(i) {}
    operator int16_t() const { return a_.words_[i_]; }
    Ref& operator=(int16_t v) {
      a_.set(i_, v);
      return *this;
    }
    Ref& operator=(const Ref& other) { return *this = static_cast<int16_t>(other); }

   private:
    MarkerArray& a_;
    std::size_t i_;
  };

  MarkerArray() = default;
  MarkerArray(std::vector<int16_t> words) : words_(std::move(words)) {}
  // The words with the summary of them that a reader made while reading them (not taken when its
  // length is not theirs).
  MarkerArray(std::vector<int16_t> words, MarkerSummary&& summary) : words_(std::move(words)) {
    if (summary.size() == static_cast<int64_t>(words_.size()))
      summary_ = std::make_shared<MarkerSummary>(std::move(summary));
  }
  MarkerArray& operator=(std::vector<int16_t>&& words) {
    words_ = std::move(words);
    summary_.reset();
    return *this;
  }

  std::size_t size() const { return words_.size(); }
  bool empty() const { return words_.empty(); }
  int16_t operator[](std::size_t i) const { return words_[i]; }
  Ref operator[](std::size_t i) { return Ref(*this, i); }
  const int16_t* data() const { return words_.data(); }
  const std::vector<int16_t>& values() const { return words_; }
  operator const std::vector<int16_t>&() const { return words_; }

  void set(std::size_t i, int16_t v) {
    words_[i] = v;
    summary_.reset();
  }
  // Words 0..n-1, new ones set to v. A summary made before follows with its last blocks made anew.
  void resize(std::size_t n, int16_t v = 0) {
    words_.resize(n, v);
    if (!summary_) return;
    if (summary_.use_count() > 1) summary_ = std::make_shared<MarkerSummary>(*summary_);
    summary_->resize(words_.data(), static_cast<int64_t>(n));
  }
  // Words 0..last_index, all 0, and no memory kept beyond them.
  void redim(int32_t last_index) {
    words_ = std::vector<int16_t>(last_index < 0 ? 0 : static_cast<std::size_t>(last_index) + 1, 0);
    summary_.reset();
  }

  // The first (last) index in from..to (clipped to the words held) whose word passes t; -1 when
  // none.
  int64_t first(int64_t from, int64_t to, MarkerTest t) const { return summary().first(data(), from, to, t); }
  int64_t last(int64_t from, int64_t to, MarkerTest t) const { return summary().last(data(), from, to, t); }

 private:
  const MarkerSummary& summary() const {
    if (!summary_) summary_ = std::make_shared<MarkerSummary>(words_.data(), static_cast<int64_t>(words_.size()));
    return *summary_;
  }

  std::vector<int16_t> words_;
  // Shared between copies until one of them resizes.
  mutable std::shared_ptr<MarkerSummary> summary_;
};

// Resizes the marker words to indices 0..last_index, all zero.
inline void redim(MarkerArray& m, int32_t last_index) {
  m.redim(last_index);
}

}  // namespace quarvel
