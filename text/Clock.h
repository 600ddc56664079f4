#pragma once
// The clock as an interface, so that the board core and the server can run on a fake clock in tests.
#include "text/DateTime.h"

class TClock {
public:
    virtual ~TClock() = default;
    virtual TDateTime Now() const = 0;
};

// The real local clock (ClockNow).
class TSystemClock final : public TClock {
public:
    TDateTime Now() const override { return ClockNow(); }
};
