#include "tools/fakecloud/FakeHttp.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 429: return "Too Many Requests";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

}  // namespace

FakeHttp::FakeHttp(Handler handler, int delayMs) : handler_(std::move(handler)), delayMs_(delayMs) {
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

quint16 FakeHttp::listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port) ? server_.serverPort() : 0; }

void FakeHttp::read(QTcpSocket* socket) {
    QByteArray data = socket->property("pending").toByteArray() + socket->readAll();
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0) {
        socket->setProperty("pending", data);
        return;
    }
    FakeRequest request;
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (data.size() < headEnd + 4 + length) {
        socket->setProperty("pending", data);
        return;
    }
    request.body = data.mid(headEnd + 4, length);
    socket->setProperty("pending", data.mid(headEnd + 4 + length));
    request.method = requestLine.value(0);
    const QByteArray target = requestLine.value(1);
    const qsizetype question = target.indexOf('?');
    request.path = QByteArray::fromPercentEncoding(question < 0 ? target : target.left(question));
    if (question >= 0) request.query.setQuery(QString::fromLatin1(target.mid(question + 1)));
    const bool close = request.headers.value("connection").toLower() == "close";

    const FakeResponse response = handler_(request);
    mostInFlight_ = std::max(mostInFlight_, ++inFlight_);
    QPointer<QTcpSocket> alive(socket);
    QTimer::singleShot(delayMs_, this, [this, alive, response, close] {
        --inFlight_;
        if (alive) answer(alive, response, close);
    });
}

void FakeHttp::answer(QTcpSocket* socket, const FakeResponse& response, bool close) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    head += "Content-Type: application/json; charset=utf-8\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    for (auto it = response.headers.begin(); it != response.headers.end(); ++it) head += it.key() + ": " + it.value() + "\r\n";
    if (close) head += "Connection: close\r\n";
    socket->write(head + "\r\n" + response.body);
    if (close) socket->disconnectFromHost();
    // A request that arrived behind this one on the same connection.
    else if (!socket->property("pending").toByteArray().isEmpty()) read(socket);
}
