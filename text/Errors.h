#pragma once
// The error classes of the board. Every failure is raised as one of these, carrying the exact
// message the operator (or a test) sees; ClassName() names the class for the fatal error box.
#include <stdexcept>
#include <string>

class EQuorvaneError : public std::runtime_error {
public:
    explicit EQuorvaneError(const std::string& message) : std::runtime_error(message) {}
    virtual const char* ClassName() const noexcept { return "Exception"; }
    std::string Message() const { return what(); }
};

#define QUORVANE_DECLARE_ERROR(Name, Base)                                             \
    class Name : public Base {                                                         \
    public:                                                                            \
        using Base::Base;                                                              \
        const char* ClassName() const noexcept override { return #Name; }              \
    };

// A text that does not read as a date-time.
QUORVANE_DECLARE_ERROR(EConvertError, EQuorvaneError)
// A character position outside a text.
QUORVANE_DECLARE_ERROR(ERangeError, EQuorvaneError)
// A line-list index outside the list.
QUORVANE_DECLARE_ERROR(EStringListError, EQuorvaneError)
// A file that cannot be opened for reading.
QUORVANE_DECLARE_ERROR(EFOpenError, EQuorvaneError)
