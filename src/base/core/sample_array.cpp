#include "core/sample_array.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/memory.h"

namespace quarvel {

namespace {

// Ranges shorter than this are read directly; the summary pays off above.
constexpr int64_t kSummaryFrom = 256;

// At least n zeros to read, for channels an array does not hold. The blocks come from calloc,
// whose large blocks the system fills with zeros only where they are read, and they are kept
// for the whole run because a caller may still hold a pointer into an earlier one.
const float* zeros(int64_t n) {
  struct Free {
    void operator()(float* p) const { std::free(p); }
  };
  static std::vector<std::unique_ptr<float, Free>> blocks;
  static int64_t largest = 0;
  if (n > largest || blocks.empty()) {
    const int64_t size = std::max<int64_t>({n, 2 * largest, 1024});
    auto* p = static_cast<float*>(std::calloc(static_cast<size_t>(size), sizeof(float)));
    if (!p) throw std::bad_alloc();
    blocks.emplace_back(p);
    largest = size;
  }
  return blocks.back().get();
}

}  // namespace

void SampleArray::Free::operator()(void* p) const {
  if (bytes > 0) {
    unmap_huge_block(HugeBlock{p, static_cast<std::size_t>(bytes)});
    return;
  }
  std::free(p);
}

namespace {

// Long stores come straight from the system in whole huge pages: a fault then fills 2 MB instead
// of 4 kB, and a long file loads with a few hundred faults instead of a hundred thousand.
template <typename T>
std::unique_ptr<T[], SampleArray::Free> new_values(int64_t n, bool& zeroed) {
  const int64_t bytes = std::max<int64_t>(n, 1) * static_cast<int64_t>(sizeof(T));
  if (bytes >= static_cast<int64_t>(kHugeBlockFrom)) {
    if (const HugeBlock block = map_huge_block(static_cast<std::size_t>(bytes)); block.data) {
      zeroed = true;
      return {static_cast<T*>(block.data), SampleArray::Free{static_cast<int64_t>(block.bytes)}};
    }
  }
  void* p = std::malloc(static_cast<std::size_t>(bytes));
  if (!p) throw std::bad_alloc();
  zeroed = false;
  return {static_cast<T*>(p), SampleArray::Free{0}};
}

}  // namespace

SampleArray::Store::Store(int64_t n, bool whole_numbers)
    : values(nullptr, Free{0}), whole(nullptr, Free{0}), capacity(n) {
  if (whole_numbers) {
    whole = new_values<int16_t>(n, zeroed);
  } else {
    values = new_values<float>(n, zeroed);
  }
}

void SampleArray::Store::make_floats(int64_t size) {
  if (!whole) return;
  bool unused = false;
  values = new_values<float>(capacity, unused);
  const int16_t* from = whole.get();
  float* to = values.get();
  for (int64_t i = 0; i < size; ++i) to[i] = value_of(from[i]);
  whole.reset();
}

Extremes SampleArray::Store::value_of(Extremes e) const {
  if (!scaled || e.empty()) return e;
  const float lo = value_of(static_cast<int16_t>(e.lo)), hi = value_of(static_cast<int16_t>(e.hi));
  return gain < 0 ? Extremes{hi, lo} : Extremes{lo, hi};
}

void SampleArray::allocate(int channels, int32_t last_index, int32_t spare, bool zero, bool whole_numbers) {
  assert(channels >= 0 && channels <= 3);
  // The old channels go first, so their memory is back before the new one is taken.
  store_ = {};
  channels_ = channels;
  size_ = channels > 0 && last_index >= 0 ? last_index + 1 : 0;
  const int64_t capacity = static_cast<int64_t>(size_) + std::max(spare, 0);
  for (int c = 0; c < channels; ++c) {
    store_[c] = std::make_shared<Store>(capacity, whole_numbers);
    if (zero && !store_[c]->zeroed) std::memset(store_[c]->values.get(), 0, static_cast<size_t>(size_) * sizeof(float));
  }
}

void SampleArray::redim(int channels, int32_t last_index, int32_t spare) {
  allocate(channels, last_index, spare, true);
}

void SampleArray::redim_for_filling(int channels, int32_t last_index, int32_t spare) {
  allocate(channels, last_index, spare, false);
}

void SampleArray::redim_whole_for_filling(int channels, int32_t last_index, int32_t spare) {
  allocate(channels, last_index, spare, false, true);
}

int16_t* SampleArray::whole_channel_for_filling(int ch) {
  assert(holds_whole(ch));
  return store_[ch - 1]->whole.get();
}

void SampleArray::scale_whole_channel(int ch, double gain, double offset) {
  assert(holds_whole(ch));
  Store& s = *store_[ch - 1];
  s.scaled = true;
  s.gain = gain;
  s.offset = offset;
}

void SampleArray::reshape(int channels, int32_t last_index) {
  assert(channels >= 0 && channels <= 3);
  const int32_t n = channels > 0 && last_index >= 0 ? last_index + 1 : 0;
  for (int c = 0; c < 3; ++c) {
    std::shared_ptr<Store>& s = store_[c];
    if (c >= channels) {
      s.reset();
      continue;
    }
    if (!s) continue;  // still reads as 0 at any length
    const int32_t kept = std::min(size_, n);
    if (n == size_) continue;
    s->make_floats(kept);
    if (n > s->capacity || s.use_count() > 1) {
      auto grown = std::make_shared<Store>(n);
      std::memcpy(grown->values.get(), s->values.get(), static_cast<size_t>(kept) * sizeof(float));
      s = std::move(grown);
      if (n > kept) std::memset(s->values.get() + kept, 0, static_cast<size_t>(n - kept) * sizeof(float));
    } else {
      if (n > kept) std::memset(s->values.get() + kept, 0, static_cast<size_t>(n - kept) * sizeof(float));
      // The samples kept are unchanged, so the summary only needs its last blocks made anew.
      if (s->summary) s->summary->resize(s->values.get(), n);
    }
  }
  channels_ = channels;
  size_ = n;
}

const float* SampleArray::channel(int ch) const {
  assert(ch >= 1 && ch <= 3);
  if (const std::shared_ptr<Store>& s = store_[ch - 1]) {
    s->make_floats(size_);
    return s->values.get();
  }
  return zeros(size_);
}

void SampleArray::copy_out(int ch, int64_t first, int64_t count, float* out) const {
  assert(first >= 0 && count >= 0 && first + count <= size_);
  const Store* s = ch >= 1 && ch <= channels_ ? store_[ch - 1].get() : nullptr;
  if (!s) {
    std::fill(out, out + count, 0.0f);
  } else if (s->whole) {
    for (int64_t i = 0; i < count; ++i) out[i] = s->value_of(s->whole[first + i]);
  } else {
    std::memcpy(out, s->values.get() + first, static_cast<size_t>(count) * sizeof(float));
  }
}

float* SampleArray::write_channel(int ch) {
  assert(ch >= 1 && ch <= 3);
  std::shared_ptr<Store>& s = store_[ch - 1];
  if (!s) {
    s = std::make_shared<Store>(size_);
    if (!s->zeroed) std::memset(s->values.get(), 0, static_cast<size_t>(size_) * sizeof(float));
  } else if (s.use_count() > 1) {
    auto own = std::make_shared<Store>(s->capacity);
    copy_out(ch, 0, size_, own->values.get());
    s = std::move(own);
  } else {
    s->make_floats(size_);
    s->summary.reset();
  }
  return s->values.get();
}

float* SampleArray::overwrite_channel(int ch) {
  assert(ch >= 1 && ch <= 3);
  std::shared_ptr<Store>& s = store_[ch - 1];
  if (!s || s.use_count() > 1 || s->whole) {
    s = std::make_shared<Store>(s ? s->capacity : size_);
  } else {
    s->summary.reset();
  }
  return s->values.get();
}

void SampleArray::summarise(const Store& s) const {
  if (s.summary && s.summary->size() == size_) return;
  s.summary = s.whole ? std::make_shared<MinMaxSummary>(s.whole.get(), size_)
                      : std::make_shared<MinMaxSummary>(s.values.get(), size_);
}

Extremes SampleArray::extremes(int ch, int64_t first, int64_t last) const {
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, static_cast<int64_t>(size_) - 1);
  if (ch < 1 || ch > channels_ || first > last) return Extremes{};
  const Store* s = store_[ch - 1].get();
  if (!s) return Extremes{0.0f, 0.0f};
  if (last - first < kSummaryFrom) {
    Extremes e;
    for (int64_t i = first; i <= last; ++i) {
      const float v = s->whole ? s->value_of(s->whole[i]) : s->values[i];
      e.lo = v < e.lo ? v : e.lo;
      e.hi = v > e.hi ? v : e.hi;
    }
    return e;
  }
  summarise(*s);
  return s->whole ? s->value_of(s->summary->extremes(s->whole.get(), first, last))
                  : s->summary->extremes(s->values.get(), first, last);
}

std::vector<Extremes> SampleArray::extremes(int ch, const std::vector<IndexRange>& ranges) const {
  std::vector<Extremes> out(ranges.size());
  const Store* s = ch >= 1 && ch <= channels_ ? store_[ch - 1].get() : nullptr;
  const bool wide = std::any_of(ranges.begin(), ranges.end(), [](const IndexRange& r) { return r.last - r.first >= kSummaryFrom; });
  if (!s || !wide) {
    for (size_t k = 0; k < ranges.size(); ++k) out[k] = extremes(ch, ranges[k].first, ranges[k].last);
    return out;
  }
  summarise(*s);
  // The ranges clipped as the single query clips them; short ones too go through the summary,
  // which answers them by reading the values.
  std::vector<IndexRange> clipped(ranges.size());
  for (size_t k = 0; k < ranges.size(); ++k)
    clipped[k] = IndexRange{std::max<int64_t>(ranges[k].first, 0), std::min<int64_t>(ranges[k].last, size_ - 1)};
  if (s->whole) {
    s->summary->extremes(s->whole.get(), clipped, out.data());
    for (Extremes& e : out) e = s->value_of(e);
  } else {
    s->summary->extremes(s->values.get(), clipped, out.data());
  }
  return out;
}

void SampleArray::set_summary(int ch, MinMaxSummary&& summary) {
  if (!holds(ch) || store_[ch - 1].use_count() > 1 || summary.size() != size_) return;
  store_[ch - 1]->summary = std::make_shared<MinMaxSummary>(std::move(summary));
}

}  // namespace quarvel
