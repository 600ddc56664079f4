#pragma once
// HTTPS trust for the calendar host from extra certificates: what the embedded browser accepts
// beyond the system's store. Kept apart from the engine so that the program can hold it without
// linking Qt WebEngine.
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <string>

namespace quorvane {

// The certificates trusted, beyond the system's store, for one host (and port).
struct CalendarTrust {
    QString host;        // empty: no extra trust
    int port = 0;        // the HTTPS port the host is reached on
    QList<QSslCertificate> certificates;

    // Whether a certificate error for url with this presented chain is to be accepted.
    bool accepts(const QString& url, const QList<QSslCertificate>& chain) const;
};
// The trust for "host[:port]" in the given certificates (read by calendarfetch's loadCalendarCa).
CalendarTrust calendarTrust(const std::string& calendarHost, QList<QSslCertificate> certificates);

}  // namespace quorvane
