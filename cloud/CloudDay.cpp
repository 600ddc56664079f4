#include "cloud/CloudDay.h"

#include <QTime>

DayWindow localDayWindow(QDate day) {
    return {day, QDateTime(day, QTime(0, 0), Qt::LocalTime).toUTC(),
            QDateTime(day.addDays(1), QTime(0, 0), Qt::LocalTime).toUTC()};
}
