#pragma once
// The clock as an interface, so that the board core and the server can run on a fake clock in tests.
#include "text/DateTime.h"

namespace quorvane {

class Clock {
public:
    virtual ~Clock() = default;
    virtual DateTime now() const = 0;
};

// The real local clock (clockNow).
class SystemClock final : public Clock {
public:
    DateTime now() const override { return clockNow(); }
};

}  // namespace quorvane
