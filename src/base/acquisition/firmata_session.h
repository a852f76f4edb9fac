// A recording's conversation with a Firmata board. The board speaks first once it has started (an
// Uno resets when its port opens, and StandardFirmata blinks its version for about 2 s before it
// does): the session waits for its protocol version report, asking for it each second from the
// first second on, and gives up after 5 s. It then asks for the analog mapping (to check that the
// pins exist), sets the sampling interval and the stimulus pin, and switches on the reporting of
// the analog pins of the inputs in use; at the end it switches it off again.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "acquisition/device_protocol.h"

namespace quarvel {

constexpr int kDefaultStimulusPin = 13;
constexpr int64_t kVersionWaitNs = 5'000'000'000;
constexpr int64_t kVersionQueryNs = 1'000'000'000;  // first query, and the time between them
constexpr int64_t kMappingWaitNs = 1'000'000'000;   // a board may not answer the mapping query

struct FirmataPlan {
  QString port;                            // named in the messages
  InputSet inputs;                         // input k is analog pin A(k-1)
  int interval_ms = 10;                    // firmata_interval()
  int stimulus_pin = kDefaultStimulusPin;  // set high for one interval by each pulse; -1 for none
};

// Empty when `pin` may carry the stimulus (-1, none, included), else why not: pins 0 and 1 carry
// the serial link itself on an Uno.
QString stimulus_pin_refusal(int pin);

// The session from the moment the port opened (opened_ns).
std::unique_ptr<DeviceProtocol> make_firmata_protocol(const FirmataPlan& plan, int64_t opened_ns);

}  // namespace quarvel
