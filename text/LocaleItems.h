#pragma once
// Builds the regional format record from the POSIX locale items (nl_langinfo): the strftime
// date format gives the date order and separator, the time format the time separator. Kept
// apart from the locale access so that any set of items can be checked.
#include "text/DateTime.h"

#include <functional>
#include <langinfo.h>
#include <string>

namespace quorvane {

// Returns an item's text, empty when the locale has none.
using LocaleItemReader = std::function<std::string(nl_item)>;

// Reads D_FMT, T_FMT, RADIXCHAR, AM_STR, PM_STR and ABMON_1..12; empty items give the fallbacks.
FormatSettings formatsFromLocaleItems(const LocaleItemReader& item);

}  // namespace quorvane
