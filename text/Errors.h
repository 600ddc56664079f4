#pragma once
// The error classes of the board. Every failure is raised as one of these, carrying the exact
// message the operator (or a test) sees; className() is the name the fatal error box shows for
// it (the names operators and their notes already know, kept as they were).
#include <stdexcept>
#include <string>

namespace quorvane {

class QuorvaneError : public std::runtime_error {
public:
    explicit QuorvaneError(const std::string& message) : std::runtime_error(message) {}
    virtual const char* className() const noexcept { return "Exception"; }
    std::string message() const { return what(); }
};

#define QUORVANE_DECLARE_ERROR(Name, Base, ShownName)                                  \
    class Name : public Base {                                                         \
    public:                                                                            \
        using Base::Base;                                                              \
        const char* className() const noexcept override { return ShownName; }          \
    };

// A text that does not read as a date-time.
QUORVANE_DECLARE_ERROR(ConvertError, QuorvaneError, "EConvertError")
// A character position outside a text.
QUORVANE_DECLARE_ERROR(RangeError, QuorvaneError, "ERangeError")
// A line-list index outside the list.
QUORVANE_DECLARE_ERROR(StringListError, QuorvaneError, "EStringListError")
// A file that cannot be opened for reading.
QUORVANE_DECLARE_ERROR(FileOpenError, QuorvaneError, "EFOpenError")

}  // namespace quorvane
