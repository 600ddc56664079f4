#include "cloud/GoogleServiceAccount.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "cloud/CloudConstants.h"
#include "cloud/CloudErrors.h"
#include "cloud/OwnerOnlyFile.h"

GoogleServiceAccount readGoogleServiceAccount(const std::string& path) {
    const std::string name = "Google service account key file '" + path + "'";
    const std::string text = readOwnerOnlyFile(path, "Google service account key file");
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    if (!document.isObject()) throw CloudCredentialsError("the " + name + " is not a JSON object");
    std::string values[std::size(GoogleKeyFields)];
    for (std::size_t i = 0; i < std::size(GoogleKeyFields); ++i) {
        const QJsonValue value = document.object().value(QLatin1String(GoogleKeyFields[i].data(), static_cast<qsizetype>(GoogleKeyFields[i].size())));
        values[i] = value.toString().toStdString();
        if (values[i].empty()) throw CloudCredentialsError("the " + name + " has no " + std::string(GoogleKeyFields[i]));
    }
    return {values[0], values[1], values[2], values[3]};
}
