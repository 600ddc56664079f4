#pragma once
// The one error of the iCalendar reader: data that is not a calendar or cannot be read.
#include "text/Errors.h"

class CalendarError : public QuorvaneError {
public:
    using QuorvaneError::QuorvaneError;
};
