#pragma once
// A real Radicale on a free loopback port with plain htpasswd log-ins in a temporary folder, and
// the helpers around it: the test application, event-loop passes, free ports, curl.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTcpServer>
#include <QTimer>

#include <functional>
#include <string>

#include "tests/support/FreePort.h"

namespace quorvane {

constexpr int ServerStartMs = 15000;

inline QCoreApplication& testApplication() {
    static int argc = 1;
    static char name[] = "CalendarFetchTest";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return app ? *app : *QCoreApplication::instance();
}

// One event-loop pass as the board's page waits run them: the loop runs for a fixed short time,
// sleeping while nothing happens.
constexpr int WaitPassMs = 10;
inline void waitPass() {
    QEventLoop loop;
    QTimer::singleShot(WaitPassMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// Whether something accepts connections on the port, tried until the limit.
inline bool waitForPort(quint16 port, int limitMs, const std::function<bool()>& stillRunning) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < limitMs && stillRunning()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(200)) return true;
        QThread::msleep(50);
    }
    return false;
}

class RadicaleServer {
public:
    static bool installed() { return !QStandardPaths::findExecutable("radicale").isEmpty(); }

    // Starts Radicale with one user; error() says why when it did not start.
    RadicaleServer(const QString& user, const QString& password) {
        port_ = freePort();
        QDir dir(dir_.path());
        dir.mkdir("collections");
        writeFile(dir.filePath("users"), (user + ":" + password + "\n").toUtf8());
        writeFile(dir.filePath("config"),
                  QString("[server]\nhosts = 127.0.0.1:%1\nmax_connections = 64\n"
                          "[auth]\ntype = htpasswd\nhtpasswd_filename = %2\nhtpasswd_encryption = plain\ndelay = 0\n"
                          "[storage]\nfilesystem_folder = %3\n[rights]\ntype = owner_only\n[logging]\nlevel = error\n")
                      .arg(port_).arg(dir.filePath("users"), dir.filePath("collections")).toUtf8());
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start("radicale", {"--config", dir.filePath("config")});
        if (!waitForPort(port_, ServerStartMs, [this] { return process_.state() != QProcess::NotRunning; }))
            error_ = "Radicale did not start: " + process_.readAll().toStdString();
    }
    ~RadicaleServer() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
        process_.waitForFinished(3000);
    }

    const std::string& error() const { return error_; }
    QString base() const { return QString("http://127.0.0.1:%1").arg(port_); }

private:
    static void writeFile(const QString& path, const QByteArray& data) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(data);
    }
    QTemporaryDir dir_;
    quint16 port_ = 0;
    QProcess process_;
    std::string error_;
};

// curl, for writing to Radicale: returns the HTTP status, or 0 when curl failed.
inline int curlStatus(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess curl;
    curl.start("curl", QStringList{"-s", "-o", "/dev/null", "-w", "%{http_code}"} + arguments);
    if (!input.isEmpty()) curl.write(input);
    curl.closeWriteChannel();
    curl.waitForFinished(15000);
    return curl.readAllStandardOutput().toInt();
}

}  // namespace quorvane
