#include "cloud/GraphEvents.h"

#include <QJsonObject>
#include <QTimeZone>

#include <optional>

#include "cloud/CloudConstants.h"
#include "cloud/EventPlacement.h"

namespace quorvane {

namespace {

// "2025-03-12T09:00:00.0000000" in the zone named beside it (UTC when the preference was kept).
std::optional<QDateTime> graphTime(const QJsonObject& time) {
    const QString text = time.value("dateTime").toString();
    const QDateTime wall = QDateTime::fromString(text.left(19), "yyyy-MM-ddTHH:mm:ss");
    if (!wall.isValid()) return std::nullopt;
    const QString zoneName = time.value("timeZone").toString();
    QTimeZone zone = QTimeZone::utc();
    if (!zoneName.isEmpty() && zoneName.compare(u"UTC", Qt::CaseInsensitive) != 0) {
        zone = QTimeZone(zoneName.toUtf8());
        if (!zone.isValid()) zone = QTimeZone(QTimeZone::windowsIdToDefaultIanaId(zoneName.toUtf8()));
        if (!zone.isValid()) return std::nullopt;
    }
    return QDateTime(wall.date(), wall.time(), zone);
}

QDate graphDate(const QJsonObject& time) { return QDate::fromString(time.value("dateTime").toString().left(10), Qt::ISODate); }

std::string workingElsewhereNote(const std::string& location) {
    return location.empty() ? std::string(WorkingElsewhereText) : std::string(WorkingElsewhereText) + " (" + location + ")";
}

void addEvent(const QJsonObject& event, const DayWindow& window, CalendarDay& day) {
    const QString showAs = event.value("showAs").toString();
    // A meeting the person declined does not take their time, as Google's declined ones do not.
    const bool declined = event.value("responseStatus").toObject().value("response").toString() == u"declined";
    if (event.value("isCancelled").toBool() || showAs == u"free" || declined) return;
    const QString sensitivity = event.value("sensitivity").toString();
    const bool isPrivate = sensitivity == u"private" || sensitivity == u"confidential";
    const bool outOfOffice = showAs == u"oof";
    const bool elsewhere = showAs == u"workingElsewhere";
    std::string summary = event.value("subject").toString().toStdString();
    const std::string location = event.value("location").toObject().value("displayName").toString().toStdString();
    if (elsewhere) summary = workingElsewhereNote(location);

    if (event.value("isAllDay").toBool()) {
        const QDate first = graphDate(event.value("start").toObject());
        if (!first.isValid()) {
            day.warnings.push_back(std::string(CloudEventWithoutStart) + summary);
            return;
        }
        if (coversDay(first, graphDate(event.value("end").toObject()), window.day))
            day.dayEvents.push_back({summary, outOfOffice, isPrivate, elsewhere});
        return;
    }
    const std::optional<QDateTime> start = graphTime(event.value("start").toObject());
    if (!start) {
        day.warnings.push_back(std::string(CloudEventWithoutStart) + summary);
        return;
    }
    const QDateTime end = graphTime(event.value("end").toObject()).value_or(*start);
    CalendarMeeting meeting;
    meeting.summary = summary;
    meeting.location = elsewhere ? std::string() : location;
    meeting.isPrivate = isPrivate;
    meeting.tentative = showAs == u"tentative";
    meeting.outOfOffice = outOfOffice;
    meeting.workingElsewhere = elsewhere;
    placeMeeting(std::move(meeting), *start, end, window, day);
}

}  // namespace

CalendarDay graphCalendarDay(const QJsonArray& events, const DayWindow& window) {
    CalendarDay day;
    for (const QJsonValue& event : events) addEvent(event.toObject(), window, day);
    orderMeetings(day);
    return day;
}

}  // namespace quorvane
