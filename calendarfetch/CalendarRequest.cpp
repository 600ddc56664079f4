#include "calendarfetch/CalendarRequest.h"

#include <QFile>

#include <cctype>

#include "calendarfetch/CalendarFetchConstants.h"
#include "text/Loopback.h"
#include "text/TextConstants.h"

namespace quorvane {

namespace {

// Whether text starts with start, ASCII letter case ignored (a URL scheme is case-blind).
bool startsCaseBlind(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]), b = static_cast<unsigned char>(start[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

}  // namespace

bool isCalendarAddress(std::string_view itemId) {
    return startsCaseBlind(itemId, HttpAddressStart) || startsCaseBlind(itemId, HttpsAddressStart);
}

bool isReadableAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

bool carriesCredentials(const QUrl& url) { return !url.userInfo().isEmpty(); }

bool mayCarryCredentials(const QUrl& url) {
    return url.scheme().toLower() == u"https" || isLoopbackAddress(url.host().toStdString());
}

bool looksLikeFeed(const QUrl& url) {
    const std::string_view suffix = FeedSuffix;
    return url.path().endsWith(QString::fromLatin1(suffix.data(), static_cast<qsizetype>(suffix.size())),
                               Qt::CaseInsensitive);
}

QByteArray basicAuthorization(const std::string& login, const std::string& password) {
    return "Basic " + QByteArray::fromStdString(login + ":" + password).toBase64();
}

std::optional<QUrl> redirectTarget(const QUrl& asked, const QByteArray& location) {
    if (location.trimmed().isEmpty()) return std::nullopt;
    QUrl target = asked.resolved(QUrl::fromEncoded(location.trimmed()));
    if (!isReadableAddress(target)) return std::nullopt;
    return target;
}

bool isRedirectStatus(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool redirectKeepsMethod(int status, const QByteArray& method) {
    if (status == 307 || status == 308) return true;
    if (status == 301 || status == 302) return method != "POST";
    return method == "GET" || method == "HEAD";  // 303: the answer is fetched with GET
}

std::string_view redirectRefusal(const QUrl& asked, const QUrl& target) {
    if (carriesCredentials(target)) return FailRedirectCredentials;
    if (asked.scheme().toLower() == u"https" && target.scheme().toLower() != u"https") return FailRedirectToHttp;
    return {};
}

bool sameHost(const QUrl& address, const QUrl& named) {
    return address.host().compare(named.host(), Qt::CaseInsensitive) == 0;
}

bool startsAsICalendar(const QByteArray& body) {
    const QByteArrayView mark(Utf8ByteOrderMark.data(), static_cast<qsizetype>(Utf8ByteOrderMark.size()));
    qsizetype i = body.startsWith(mark) ? mark.size() : 0;
    while (i < body.size() && (body[i] == ' ' || body[i] == '\t' || body[i] == '\r' || body[i] == '\n')) ++i;
    const std::string_view start = ICalendarStart;
    return body.mid(i, static_cast<qsizetype>(start.size())).compare(
               QByteArray(start.data(), static_cast<qsizetype>(start.size())), Qt::CaseInsensitive) == 0;
}

QList<QSslCertificate> loadCalendarCa(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw CalendarCaError("Cannot read the certificate file \"" + path + "\"");
    QList<QSslCertificate> certificates = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
    if (certificates.isEmpty())
        throw CalendarCaError("The certificate file \"" + path + "\" holds no PEM certificate");
    return certificates;
}

}  // namespace quorvane
