#include "browser/CalendarTrust.h"

#include <QUrl>

#include "browser/WebEngineConstants.h"

namespace quorvane {

bool CalendarTrust::accepts(const QString& url, const QList<QSslCertificate>& chain) const {
    if (host.isEmpty() || certificates.isEmpty()) return false;
    const QUrl address(url);
    if (address.host().compare(host, Qt::CaseInsensitive) != 0) return false;
    if (address.port(HttpsDefaultPort) != port) return false;
    for (const QSslCertificate& presented : chain)
        if (certificates.contains(presented)) return true;
    return false;
}

CalendarTrust calendarTrust(const std::string& calendarHost, QList<QSslCertificate> certificates) {
    CalendarTrust trust;
    const QUrl hostUrl(QStringLiteral("https://") + QString::fromStdString(calendarHost));
    trust.host = hostUrl.host();
    trust.port = hostUrl.port(HttpsDefaultPort);
    trust.certificates = std::move(certificates);
    return trust;
}

}  // namespace quorvane
