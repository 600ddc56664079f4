#include "cloud/GoogleEvents.h"

#include <QJsonObject>
#include <QTimeZone>

#include <optional>

#include "cloud/CloudConstants.h"
#include "cloud/EventPlacement.h"

namespace {

// RFC 3339 with an offset; the zone beside it only when the offset is missing.
std::optional<QDateTime> googleTime(const QJsonObject& time) {
    QDateTime instant = QDateTime::fromString(time.value("dateTime").toString(), Qt::ISODate);
    if (!instant.isValid()) return std::nullopt;
    if (instant.timeSpec() == Qt::LocalTime) {
        const QTimeZone zone(time.value("timeZone").toString().toUtf8());
        instant = QDateTime(instant.date(), instant.time(), zone.isValid() ? zone : QTimeZone::utc());
    }
    return instant;
}

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

std::string workingLocationNote(const QJsonObject& properties) {
    const QString type = properties.value("type").toString();
    if (type == u"homeOffice") return std::string(WorkingFromHomeText);
    if (type == u"officeLocation") {
        const QString label = properties.value("officeLocation").toObject().value("label").toString();
        return label.isEmpty() ? std::string(OfficeText) : (text(OfficePrefixText) + label).toStdString();
    }
    const QString label = properties.value("customLocation").toObject().value("label").toString();
    return label.isEmpty() ? std::string(WorkingElsewhereText) : label.toStdString();
}

// The person's own answer, from the attendee entry the API marks with self.
QString ownResponse(const QJsonObject& event) {
    for (const QJsonValue& attendee : event.value("attendees").toArray())
        if (attendee.toObject().value("self").toBool()) return attendee.toObject().value("responseStatus").toString();
    return {};
}

void addEvent(const QJsonObject& event, const DayWindow& window, CalendarDay& day) {
    const QString type = event.value("eventType").toString();
    const bool workingLocation = type == u"workingLocation";
    const QString response = ownResponse(event);
    if (event.value("status").toString() == u"cancelled" || response == u"declined") return;
    // Working locations never block time, yet they are what the board shows them for.
    if (event.value("transparency").toString() == u"transparent" && !workingLocation) return;
    const QString visibility = event.value("visibility").toString();
    const bool isPrivate = visibility == u"private" || visibility == u"confidential";
    const bool outOfOffice = type == u"outOfOffice";
    const std::string summary = workingLocation ? workingLocationNote(event.value("workingLocationProperties").toObject())
                                                : event.value("summary").toString().toStdString();
    const QJsonObject start = event.value("start").toObject();
    const QJsonObject end = event.value("end").toObject();

    if (start.contains("date")) {
        const QDate first = QDate::fromString(start.value("date").toString(), Qt::ISODate);
        if (!first.isValid()) {
            day.warnings.push_back(std::string(CloudEventWithoutStart) + summary);
            return;
        }
        if (coversDay(first, QDate::fromString(end.value("date").toString(), Qt::ISODate), window.day))
            day.dayEvents.push_back({summary, outOfOffice, isPrivate, workingLocation});
        return;
    }
    const std::optional<QDateTime> from = googleTime(start);
    if (!from) {
        day.warnings.push_back(std::string(CloudEventWithoutStart) + summary);
        return;
    }
    CalendarMeeting meeting;
    meeting.summary = summary;
    meeting.location = workingLocation ? std::string() : event.value("location").toString().toStdString();
    meeting.isPrivate = isPrivate;
    meeting.tentative = response == u"tentative" || event.value("status").toString() == u"tentative";
    meeting.outOfOffice = outOfOffice;
    meeting.workingElsewhere = workingLocation;
    placeMeeting(std::move(meeting), *from, googleTime(end).value_or(*from), window, day);
}

}  // namespace

CalendarDay googleCalendarDay(const QJsonArray& events, const DayWindow& window) {
    CalendarDay day;
    for (const QJsonValue& event : events) addEvent(event.toObject(), window, day);
    orderMeetings(day);
    return day;
}
