#include "service/StateEnvelope.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include "service/ServiceConstants.h"
#include "service/StateFile.h"

namespace quorvane {

namespace {

QString key(std::string_view name) { return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())); }

StateLoad problem(StateLoad::Problem kind, std::string reason) {
    StateLoad load;
    load.problem = kind;
    load.reason = std::move(reason);
    return load;
}

}  // namespace

QByteArray encodeStateEnvelope(const StateEnvelope& envelope) {
    QJsonObject object;
    object.insert(key(StateFormatKey), key(StateFormat));
    object.insert(key(StateVersionKey), envelope.version);
    object.insert(key(StateWrittenKey), static_cast<qint64>(unixSeconds(envelope.written)));
    object.insert(key(StateDataKey), envelope.data);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

StateLoad decodeStateEnvelope(const QByteArray& bytes, int expectedVersion) {
    using Problem = StateLoad::Problem;
    if (bytes.isEmpty()) return problem(Problem::Corrupt, "is empty");
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        return problem(Problem::Corrupt, "is not JSON: " + error.errorString().toStdString() + " (offset " +
                                             std::to_string(error.offset) + ")");
    const QJsonObject object = document.object();
    if (!document.isObject() || object.value(key(StateFormatKey)) != QJsonValue(key(StateFormat)))
        return problem(Problem::OtherFormat, "is not a " + std::string(StateFormat) + " file");
    const QJsonValue version = object.value(key(StateVersionKey));
    if (!version.isDouble()) return problem(Problem::OtherVersion, "has no version number");
    if (version.toDouble() != expectedVersion)
        return problem(Problem::OtherVersion, "is version " + QString::number(version.toDouble()).toStdString() +
                                                  ", not " + std::to_string(expectedVersion));
    const QJsonValue written = object.value(key(StateWrittenKey));
    const QJsonValue data = object.value(key(StateDataKey));
    if (!written.isDouble() || !data.isObject())
        return problem(Problem::Corrupt, "lacks its written time or its data");
    StateLoad load;
    load.envelope = StateEnvelope{expectedVersion, instantOfUnix(written.toInteger()), data.toObject()};
    return load;
}

void writeStateFile(const std::string& path, const StateEnvelope& envelope) {
    const std::atomic<bool> never{false};
    writeStateFile(path, envelope, never);
}

bool writeStateFile(const std::string& path, const StateEnvelope& envelope, const std::atomic<bool>& abandon) {
    const QByteArray bytes = encodeStateEnvelope(envelope);
    if (abandon) return false;
    return writeFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                               abandon);
}

StateLoad readStateFile(const std::string& path, int expectedVersion) {
    const FileRead read = readWholeFile(path);
    StateLoad load;
    if (read.problem == FileRead::Problem::None) {
        load = decodeStateEnvelope(QByteArray::fromStdString(read.content), expectedVersion);
    } else {
        load.problem = read.problem == FileRead::Problem::Missing ? StateLoad::Problem::Missing
                                                                   : StateLoad::Problem::Unreadable;
        load.reason = "is " + read.reason;
    }
    if (load.problem != StateLoad::Problem::None) load.reason = "state file " + path + " " + load.reason;
    return load;
}

}  // namespace quorvane
