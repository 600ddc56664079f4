#pragma once
// The decisions a calendar request takes from its address alone, kept apart from the network so
// that each one can be checked directly: where credentials may go, when the CalDAV query is
// skipped, where a redirect leads, and whether a body is iCalendar data.
#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QUrl>

#include <optional>
#include <string>
#include <string_view>

#include "text/Errors.h"

namespace quorvane {

// Whether a roster item id names a calendar address (http:// or https://, the scheme in any
// letter case) rather than an item of the web calendar.
bool isCalendarAddress(std::string_view itemId);
// An address a calendar can be read from: absolute http or https with a host.
bool isReadableAddress(const QUrl& url);
// Whether the address carries a user name or a password (refused: it would leak into logs).
bool carriesCredentials(const QUrl& url);
// Credentials go only over HTTPS, or to this machine (text/Loopback.h) where nothing crosses a
// network.
bool mayCarryCredentials(const QUrl& url);
// A path ending in ".ics" is a feed: asked with GET at once, without a CalDAV query first.
bool looksLikeFeed(const QUrl& url);
// The Authorization header value for HTTP Basic.
QByteArray basicAuthorization(const std::string& login, const std::string& password);

// The target of a redirect answer: the Location resolved against the address asked; nullopt
// when there is none or it is not an http(s) address.
std::optional<QUrl> redirectTarget(const QUrl& asked, const QByteArray& location);
// Whether a redirect keeps the method (and body): 307 and 308 always; 301 and 302 for everything
// but POST, as curl does, so a CalDAV REPORT moved to a collection's new address stays a REPORT;
// 303 turns the request into a GET.
bool redirectKeepsMethod(int status, const QByteArray& method);
// Why a redirect from asked to target is not followed (credentials in the target, or HTTPS to
// plain HTTP); empty when it may be.
std::string_view redirectRefusal(const QUrl& asked, const QUrl& target);
// Whether address lies on the host the roster named (letter case ignored): only there may the
// netrc default entry be sent.
bool sameHost(const QUrl& address, const QUrl& named);
bool isRedirectStatus(int status);

// Whether a body starts with "BEGIN:VCALENDAR" after an optional UTF-8 byte order mark and
// white space.
bool startsAsICalendar(const QByteArray& body);

// The certificates of a PEM file (--calendar-ca), for calendar servers signed by a private
// authority. Raises CalendarCaError with a one-line message, the one the program shows for that
// option, when the file is unreadable or holds no certificate.
class CalendarCaError : public QuorvaneError {
public:
    using QuorvaneError::QuorvaneError;
};
QList<QSslCertificate> loadCalendarCa(const std::string& path);

}  // namespace quorvane
