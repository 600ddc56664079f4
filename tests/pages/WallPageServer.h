#pragma once
// A loopback HTTP server for the wall page tests: "/" answers the page, "/board.json" whatever
// data the test sets; it can be stopped and started again on the same port.
#include <QTcpServer>
#include <QTcpSocket>
#include <QHash>
#include <string>

class WallPageServer : public QObject {
public:
    explicit WallPageServer(std::string page) : page_(std::move(page)) {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                    pending_.remove(socket);
                    socket->deleteLater();
                });
            }
        });
    }
    // Listens on loopback; port 0 picks a free one. Returns whether it listens.
    bool start(quint16 port = 0) {
        if (!server_.listen(QHostAddress::LocalHost, port)) return false;
        port_ = server_.serverPort();
        return true;
    }
    // Stops listening and drops the open connections.
    void stop() {
        server_.close();
        for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>()) socket->abort();
    }
    quint16 port() const { return port_; }
    void setJson(std::string json) { json_ = std::move(json); }
    void setPage(std::string page) { page_ = std::move(page); }
    int jsonRequests() const { return jsonRequests_; }

private:
    void answer(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n")) return;
        const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
        pending_.remove(socket);
        const QByteArray path = line.size() > 1 ? line[1].split('?').first() : QByteArray();
        QByteArray status = "200 OK", type, body;
        if (path == "/") {
            type = "text/html; charset=utf-8";
            body = QByteArray::fromStdString(page_);
        } else if (path == "/board.json") {
            ++jsonRequests_;
            type = "application/json; charset=utf-8";
            body = QByteArray::fromStdString(json_);
        } else {
            status = "404 Not Found";
            type = "text/plain";
            body = "Not found";
        }
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    std::string page_, json_;
    quint16 port_ = 0;
    int jsonRequests_ = 0;
    QHash<QTcpSocket*, QByteArray> pending_;
};
