#include "calendarfetch/CalDavQuery.h"

#include <QTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "calendarfetch/CalendarFetchConstants.h"

namespace {

QString latin(std::string_view text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

// "HTTP/1.1 200 OK" gives 200; anything unreadable gives 0.
int statusCode(const QString& statusLine) {
    const QStringList parts = statusLine.simplified().split(u' ');
    return parts.size() >= 2 ? parts[1].toInt() : 0;
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
    QXmlStreamReader xml(body);
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
