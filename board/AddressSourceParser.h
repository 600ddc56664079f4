#pragma once
// The calendar texts a calendar address answered, read on a thread of their own, one after
// another, each result handed back through the event loop of the thread that asked: a feed near
// the 16 MiB cap takes the reader most of a second, and the event loop, where a stop signal is
// read, must not wait for it. A stop drops what waits; a read under way finishes on its own and
// its result is dropped, so the program's exit never waits for it.
#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calendar/ParsedCalendar.h"

namespace quorvane {

struct ParsedTexts {
    std::optional<ParsedCalendar> calendar;  // none when the texts do not read
    std::string failure;                     // then: why (the reader's CalendarError)
    std::vector<std::string> saved;          // what is kept for the state file (see savedTexts)
};

// What is kept of fetched texts for the state file: bounded by what the board shows, not by the
// feed (see SavedRawTextBytes). Read back, it gives the same days around the dates kept.
std::vector<std::string> savedTexts(const std::vector<std::string>& texts, const KeptDates& dates);

class AddressSourceParser {
public:
    using Done = std::function<void(ParsedTexts)>;
    AddressSourceParser();
    ~AddressSourceParser();
    AddressSourceParser(const AddressSourceParser&) = delete;
    AddressSourceParser& operator=(const AddressSourceParser&) = delete;

    // Reads texts for the dates around day, and expands day itself there too (the calendar keeps
    // it for the refreshes that ask it again); done gets the result later, from the event loop
    // (never from inside this call).
    void parse(std::vector<std::string> texts, CivilDate day, Done done);
    // Drops every read not yet answered: their done is never called.
    void drop();

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    QObject replies_;  // the results come back as its events: none after it is gone
};

}  // namespace quorvane
