#include "cloud/CloudFailure.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// Longer than any code the services use; a longer text is not a code.
constexpr qsizetype MaxCodeLength = 80;

bool isCode(const QString& text) {
    return !text.isEmpty() && text.size() <= MaxCodeLength &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 32 && c.unicode() < 127; });
}

}  // namespace

std::string serviceErrorCode(const QByteArray& body) {
    const QJsonValue error = QJsonDocument::fromJson(body).object().value("error");
    QString code;
    if (error.isString()) {
        code = error.toString();
    } else {
        const QJsonObject object = error.toObject();
        code = object.value("code").toString();
        if (code.isEmpty()) code = object.value("status").toString();
        if (code.isEmpty()) code = object.value("errors").toArray().at(0).toObject().value("reason").toString();
    }
    return isCode(code) ? code.toStdString() : std::string();
}

std::string httpFailure(int status, const QByteArray& body) {
    const std::string code = serviceErrorCode(body);
    return "HTTP " + std::to_string(status) + (code.empty() ? std::string() : " (" + code + ")");
}
