#include "calendarfetch/CalDavQuery.h"

#include <QTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

#include "calendarfetch/CalendarFetchConstants.h"

namespace {

QString latin(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// "HTTP/1.1 200 OK" gives 200; anything unreadable gives 0.
int statusCode(const QString& statusLine) {
    const QStringList parts = statusLine.simplified().split(u' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
}

// XML 1.0 allows no C0 control character but tab, line feed and carriage return, not even as a
// reference, yet a server may copy one from an event's text into its answer. Such bytes are
// replaced by ControlStandIn so that the rest of the answer reads, and given back as NUL bytes in
// the calendar data taken: the iCalendar reader then skips the one event holding them.
bool isForbiddenControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

QByteArray withStandIns(const QByteArray& body)
{
    QByteArray out;
    out.reserve(body.size());
    for (char c : body) {
        if (isForbiddenControl(c)) out.append(ControlStandIn.data(), static_cast<qsizetype>(ControlStandIn.size()));
        else out.append(c);
    }
    return out;
}

}  // namespace

DayRange localDayRange(QDate day) {
    return {QDateTime(day, QTime(0, 0), Qt::LocalTime).toUTC(),
            QDateTime(day.addDays(1), QTime(0, 0), Qt::LocalTime).toUTC()};
}

QByteArray calDavUtcText(const QDateTime& instant) {
    return instant.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

QByteArray calendarQueryBody(const DayRange& range) {
    const QString dav = latin(DavNamespace);
    const QString cal = latin(CalDavNamespace);
    QByteArray body;
    QXmlStreamWriter xml(&body);
    xml.writeStartDocument();
    xml.writeNamespace(dav, QStringLiteral("d"));
    xml.writeNamespace(cal, QStringLiteral("c"));
    xml.writeStartElement(cal, QStringLiteral("calendar-query"));
    xml.writeStartElement(dav, QStringLiteral("prop"));
    xml.writeEmptyElement(dav, QStringLiteral("getetag"));
    xml.writeEmptyElement(cal, QStringLiteral("calendar-data"));
    xml.writeEndElement();
    xml.writeStartElement(cal, QStringLiteral("filter"));
    xml.writeStartElement(cal, QStringLiteral("comp-filter"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VCALENDAR"));
    xml.writeStartElement(cal, QStringLiteral("comp-filter"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("VEVENT"));
    xml.writeEmptyElement(cal, QStringLiteral("time-range"));
    xml.writeAttribute(QStringLiteral("start"), QString::fromLatin1(calDavUtcText(range.start)));
    xml.writeAttribute(QStringLiteral("end"), QString::fromLatin1(calDavUtcText(range.end)));
    xml.writeEndDocument();  // closes every open element
    return body;
}

MultiStatus parseMultiStatus(const QByteArray& body) {
    const QString dav = latin(DavNamespace);
    const QString cal = latin(CalDavNamespace);
    MultiStatus result;
    const bool standIns = std::any_of(body.begin(), body.end(), isForbiddenControl);
    const QChar standIn = QString::fromUtf8(ControlStandIn.data(), static_cast<qsizetype>(ControlStandIn.size())).at(0);
    QXmlStreamReader xml(standIns ? withStandIns(body) : body);
    bool sawRoot = false;
    // Calendar data of the propstat being read, kept only once its status says 200.
    std::vector<std::string> pending;
    int propstatStatus = 0;
    int depthInPropstat = 0;  // > 0 inside a propstat
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (!sawRoot) {
                if (xml.namespaceUri() != dav || xml.name() != u"multistatus") {
                    result.error = "the answer is not a DAV multistatus";
                    return result;
                }
                sawRoot = true;
                continue;
            }
            if (depthInPropstat > 0) {
                ++depthInPropstat;
                if (xml.namespaceUri() == cal && xml.name() == u"calendar-data") {
                    QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
                    --depthInPropstat;  // readElementText consumed the end element
                    if (standIns) text.replace(standIn, QChar(u'\0'));
                    if (!text.trimmed().isEmpty()) pending.push_back(text.toStdString());
                } else if (xml.namespaceUri() == dav && xml.name() == u"status") {
                    propstatStatus = statusCode(xml.readElementText(QXmlStreamReader::SkipChildElements));
                    --depthInPropstat;
                }
            } else if (xml.namespaceUri() == dav && xml.name() == u"propstat") {
                depthInPropstat = 1;
                pending.clear();
                propstatStatus = 0;
            }
        } else if (xml.isEndElement() && depthInPropstat > 0) {
            if (--depthInPropstat == 0 && propstatStatus == 200)
                for (std::string& text : pending) result.calendars.push_back(std::move(text));
        }
    }
    if (xml.hasError()) {
        result.calendars.clear();
        result.error = "unreadable multistatus (" + xml.errorString().toStdString() + " at line " +
                       std::to_string(xml.lineNumber()) + ")";
        return result;
    }
    if (!sawRoot) {
        result.error = "the answer is empty, not a DAV multistatus";
        return result;
    }
    result.ok = true;
    return result;
}
