#include "webserver/HttpServer.h"

#include <algorithm>

#include "text/PercentEncoding.h"
#include "webserver/HttpDecode.h"
#include "webserver/ServerErrors.h"
#include "webserver/Socket.h"

namespace quorvane {

namespace {

// One line of the request head, at most MaxLineLength long and within what is left of the head's
// budget (which it then takes, its line end counted).
std::string readHeadLine(BufferedStream& connection, std::size_t& budget) {
    std::string line;
    try {
        line = connection.readLine(std::min(MaxLineLength, budget));
    } catch (const LineTooLongError&) {
        if (budget < MaxLineLength) throw RequestHeadTooLargeError(std::string(MsgRequestHeadTooLarge));
        throw;
    }
    if (connection.lastLineBytes() > budget) throw RequestHeadTooLargeError(std::string(MsgRequestHeadTooLarge));
    budget -= connection.lastLineBytes();
    return line;
}

void readHeaderBlock(BufferedStream& connection, HttpRequest& request, std::size_t budget) {
    for (;;) {
        std::string line = readHeadLine(connection, budget);
        if (line.empty()) return;
        if (static_cast<long long>(request.headerLines.size()) > DefaultMaximumHeaderLineCount)
            throw TooManyHeaderLinesError(std::string(MsgHeaderLineCount));
        if (line.size() >= 2 && line[0] == '.' && line[1] == '.') line.erase(0, 1);
        request.headerLines.push_back(std::move(line));
    }
}

// The body, read and let go: by Content-Length whatever the method, or for a POST without one,
// up to the peer's close. Bodies are bounded: nothing reads them and memory is shared by all.
void skipBody(BufferedStream& connection, const HttpRequest& request) {
    if (request.contentLength > 0) {
        if (request.contentLength > MaxRequestBodyBytes) throw BodyTooLargeError(std::string(MsgBodyTooLarge));
        connection.readBytes(static_cast<std::size_t>(request.contentLength));
    } else if (request.method == "POST" && request.contentLength < 0) {
        connection.readToClose(static_cast<std::size_t>(MaxRequestBodyBytes));
    }
}

// A body the handler reads: kept when within MaxKeptBodyBytes, else let go as skipBody does and
// flagged, so the handler can answer 413 instead of reading a part of it.
void keepBody(BufferedStream& connection, HttpRequest& request) {
    if (request.contentLength > MaxKeptBodyBytes) {
        request.bodyTooLarge = true;
        skipBody(connection, request);
    } else if (request.contentLength > 0) {
        request.body = connection.readBytes(static_cast<std::size_t>(request.contentLength));
    } else if (request.method == "POST" && request.contentLength < 0) {
        std::string rest = connection.readToClose(static_cast<std::size_t>(MaxRequestBodyBytes));
        if (rest.size() > static_cast<std::size_t>(MaxKeptBodyBytes))
            request.bodyTooLarge = true;
        else
            request.body = std::move(rest);
    }
}

}  // namespace

HttpServer::~HttpServer() { setActive(false); }

bool HttpServer::serveConnection(ClientConnection& context) {
    try {
        serveOneRequest(context);
    } catch (...) {
        context.connection().close();
        throw;
    }
    context.connection().close();
    return false;
}

bool HttpServer::admitted(ClientConnection& context) {
    if (!clientGate_) return true;
    HttpRequest peer;
    peer.peerAddress = context.peerAddress();
    HttpResponse response(&context.connection());
    if (clientGate_(peer, response)) return true;
    if (!response.headerWritten()) response.sendHeader();
    if (!response.bodyText.empty()) response.sendBody();
    context.connection().flush();
    // The request's head, read after the answer and let go: a close with unread bytes would
    // reset the connection, and the client could lose the answer with it.
    try {
        for (long long line = 0; line <= DefaultMaximumHeaderLineCount; ++line)
            if (context.connection().readLine(MaxLineLength).empty() && line > 0) break;
    } catch (const std::exception&) {
        // A client that sends nothing more, or too much, has had its answer all the same.
    }
    return false;
}

void HttpServer::serveOneRequest(ClientConnection& context) {
    BufferedStream& connection = context.connection();
    if (!admitted(context)) return;

    HttpRequest request;
    std::size_t headBudget = MaxRequestHeadBytes;
    request.requestLine = readHeadLine(connection, headBudget);
    // "METHOD TARGET VERSION"; the version is the text after the last space, the target what
    // lies between the first space and it.
    const std::string& requestLine = request.requestLine;
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (lastSpace == std::string::npos) throw RequestLineError(std::string(MsgParsingCommand));
    const std::string_view front = std::string_view(requestLine).substr(0, lastSpace);
    const std::size_t firstSpace = front.find(' ');
    request.method = asciiUpper(front.substr(0, firstSpace));
    // Other methods are not answered: the connection is closed.
    if (request.method != "GET" && request.method != "POST" && request.method != "HEAD") return;
    const std::string_view target = firstSpace == std::string_view::npos ? std::string_view() : front.substr(firstSpace + 1);
    const std::string_view beforeQuery = target.substr(0, target.find('?'));
    request.path = beforeQuery == "*" ? std::string(beforeQuery) : percentDecode(beforeQuery);

    request.peerAddress = context.peerAddress();
    readHeaderBlock(connection, request, headBudget);
    request.readFields();
    if (bodyFilter_ && bodyFilter_(request))
        keepBody(connection, request);
    else
        skipBody(connection, request);

    // The whole request has arrived; the rest of the exchange is not bound by the read deadline.
    if (SocketTransport* socket = context.socket()) socket->setReadDeadline(std::chrono::steady_clock::time_point::max());

    HttpResponse response(&connection);
    try {
        if (handler_) handler_(request, response);
    } catch (const SocketError&) {
        throw;
    } catch (const std::exception& error) {
        response.setStatusCode(500);
        response.bodyText = response.reasonPhrase();
        if (errorReport_) errorReport_(request, error.what());
    }
    if (!response.headerWritten()) response.sendHeader();
    if (!response.bodyText.empty()) response.sendBody();
    connection.flush();
}

}  // namespace quorvane
