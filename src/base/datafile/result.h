// What the data file codec hands back: a value or the reason there is none. Nothing in the codec
// throws; every reader and writer reports a failure as a DataFileFailure.
#pragma once

#include <QString>
#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace quarvel {

enum class DataFileError {
  TooShort,           // the file is shorter than its header
  NotVersioned,       // the first bytes are not the version text (header decoding only)
  BadChannelCount,    // a stored channel count, or a number of EDF signals, outside 1..3
  BadBlockLength,     // a block file whose block length is not positive
  BadSampleInterval,  // a sampling interval that is not positive, or that a file cannot state
  BadChannelAnswer,   // the user's channel count is not a number or out of range
  PartialSample,      // a .prn file whose size is not a whole number of samples
  BadValue,           // a value that is not a finite number, overflows when scaled, or is too large to export
  TooLarge,           // more frames than the sample arrays can index
  ReadFailed,         // the device could not be read, or ended early
  WriteFailed,        // the device or the folder did not take every byte
  NotEdf,             // EDFlib refuses the file: not EDF or BDF, or a header that does not match it
  MixedSampleRates,   // EDF signals sampled at different rates
  NoSamples,          // a recording without samples to export
  MarkerPlacement,    // a marker that an EDF+ annotation time cannot place on its frame
};

struct DataFileFailure {
  DataFileError code;
  QString detail;  // a short English description for logs and tests; the user sees the program's own text
};

// A value of type T, or the failure that prevented it.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(DataFileFailure failure) : v_(std::move(failure)) {}

  bool ok() const { return std::holds_alternative<T>(v_); }
  explicit operator bool() const { return ok(); }

  // Only when ok().
  T& value() & {
    assert(ok());
    return *std::get_if<T>(&v_);
  }
  const T& value() const& {
    assert(ok());
    return *std::get_if<T>(&v_);
  }
  T&& value() && {
    assert(ok());
    return std::move(*std::get_if<T>(&v_));
  }

  // Only when !ok().
  const DataFileFailure& failure() const {
    assert(!ok());
    return *std::get_if<DataFileFailure>(&v_);
  }
  DataFileError error() const { return failure().code; }

 private:
  std::variant<T, DataFileFailure> v_;
};

// Success or the failure of an operation without a value (the writers).
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(DataFileFailure failure) : failure_(std::move(failure)) {}

  bool ok() const { return !failure_.has_value(); }
  explicit operator bool() const { return ok(); }
  const DataFileFailure& failure() const {
    assert(!ok());
    return *failure_;
  }
  DataFileError error() const { return failure().code; }

 private:
  std::optional<DataFileFailure> failure_;
};

}  // namespace quarvel
