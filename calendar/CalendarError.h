#pragma once
// The one error of the iCalendar reader: data that is not a calendar or cannot be read.
#include <stdexcept>
#include <string>

class CalendarError : public std::runtime_error {
public:
    explicit CalendarError(const std::string& reason) : std::runtime_error(reason) {}
};
