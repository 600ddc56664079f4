#pragma once
// Servers for whole grabs on loopback besides Radicale: the demo calendar program, and a small
// in-process HTTP server that answers from a table (redirects, large and endless answers, pages
// that are not calendars, silence).
#include <QMap>

#include "tests/calendarfetch/RadicaleServer.h"

namespace quorvane {

// quorvane-democal on a free port, its certificate written to the temporary folder.
class DemoCalendarServer {
public:
    DemoCalendarServer() {
        process_.start(QUORVANE_DEMOCAL, {"--port", "0", "--cert-out", certificate(), "--now", "2026-12-07 10:00"});
        if (process_.waitForReadyRead(ServerStartMs)) port_ = process_.readLine().trimmed().toUShort();
    }
    ~DemoCalendarServer() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }
    quint16 port() const { return port_; }
    QString certificate() const { return QDir(dir_.path()).filePath("ca.pem"); }

private:
    QTemporaryDir dir_;
    QProcess process_;
    quint16 port_ = 0;
};

// Answers each request by its path from a table of raw responses; a path missing from the table
// is never answered (the connection stays open and silent). Runs in the test's event loop.
class TableServer {
public:
    TableServer() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { read(socket); });
            }
        });
    }
    QString base() const { return QString("http://127.0.0.1:%1").arg(server_.serverPort()); }
    void answer(const QByteArray& path, QByteArray response) { table_[path] = std::move(response); }
    int requests() const { return requests_; }

    static QByteArray response(int status, const QByteArray& headers, const QByteArray& body) {
        return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nConnection: close\r\n" + headers +
               "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }

private:
    void read(QTcpSocket* socket) {
        QByteArray& data = pending_[socket];
        data += socket->readAll();
        const qsizetype headEnd = data.indexOf("\r\n\r\n");
        if (headEnd < 0) return;
        // Reads the request body too, so that closing cannot reset the answer away.
        qsizetype length = 0;
        for (const QByteArray& line : data.left(headEnd).split('\n'))
            if (line.toLower().startsWith("content-length:")) length = line.mid(15).trimmed().toLongLong();
        if (data.size() < headEnd + 4 + length) return;
        const QByteArray path = data.left(data.indexOf('\n')).split(' ').value(1);
        pending_.remove(socket);
        ++requests_;
        if (!table_.contains(path)) return;  // silence
        socket->write(table_[path]);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QMap<QByteArray, QByteArray> table_;
    QMap<QTcpSocket*, QByteArray> pending_;
    int requests_ = 0;
};

}  // namespace quorvane
