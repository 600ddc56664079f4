#pragma once
// The bit of HTTP/1.1 the fake cloud services need, on QTcpServer in one event loop: requests
// read whole (head and Content-Length body), kept-alive connections, answers sent after an
// optional delay so that many requests can be in flight at once.
#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QTcpServer>
#include <QUrlQuery>

#include <functional>

struct FakeRequest {
    QByteArray method;
    QByteArray path;               // percent-decoded
    QUrlQuery query;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;
};

struct FakeResponse {
    int status = 200;
    QByteArray body;
    QMap<QByteArray, QByteArray> headers;
};

class FakeHttp : public QObject {
public:
    using Handler = std::function<FakeResponse(const FakeRequest&)>;

    FakeHttp(Handler handler, int delayMs);
    // Listens on 127.0.0.1; port 0 takes any free port. Returns the port, 0 when it cannot.
    quint16 listen(quint16 port);
    // Requests received and not answered yet, and the most there ever were at once.
    int inFlight() const { return inFlight_; }
    int mostInFlight() const { return mostInFlight_; }

private:
    void read(class QTcpSocket* socket);
    void answer(QTcpSocket* socket, const FakeResponse& response, bool close);

    QTcpServer server_;
    Handler handler_;
    int delayMs_;
    int inFlight_ = 0;
    int mostInFlight_ = 0;
};
