#pragma once
// The local date of an instant as Qt's date, which the calendar readers and clients take.
#include <QDate>

#include "text/Instant.h"

namespace quorvane {

inline QDate localDayOf(Instant instant)
{
    const LocalParts local = localParts(instant);
    return QDate(local.year, local.month, local.day);
}

}  // namespace quorvane
