#include "cloud/GoogleAssertion.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cloud/CloudConstants.h"

namespace {

QByteArray part(const QJsonObject& object) { return base64Url(QJsonDocument(object).toJson(QJsonDocument::Compact)); }

QString text(std::string_view value) { return QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())); }

}  // namespace

QByteArray googleAssertion(const GoogleServiceAccount& account, const RsaSigner& signer, const std::string& subject,
                           std::int64_t issuedAt) {
    const QJsonObject header{{"alg", "RS256"}, {"typ", "JWT"}, {"kid", text(account.privateKeyId)}};
    const QJsonObject claims{{"iss", text(account.clientEmail)},
                             {"sub", text(subject)},
                             {"scope", text(GoogleCalendarScope)},
                             {"aud", text(account.tokenUri)},
                             {"iat", static_cast<qint64>(issuedAt)},
                             {"exp", static_cast<qint64>(issuedAt + AssertionLifetimeSeconds)}};
    const QByteArray signedPart = part(header) + '.' + part(claims);
    return signedPart + '.' + base64Url(signer.sign(signedPart));
}
