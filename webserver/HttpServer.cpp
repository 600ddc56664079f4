#include "webserver/HttpServer.h"

#include "webserver/HttpDecode.h"
#include "webserver/ServerErrors.h"
#include "webserver/Socket.h"
#include "text/PercentEncoding.h"

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

void HttpServer::readHeaderBlock(BufferedStream& connection, HttpRequest& request) const {
    for (;;) {
        std::string line = connection.readLine(MaxLineLength);
        if (line.empty()) return;
        if (static_cast<long long>(request.headerLines.size()) > DefaultMaximumHeaderLineCount)
            throw TooManyHeaderLinesError(std::string(MsgHeaderLineCount));
        if (line.size() >= 2 && line[0] == '.' && line[1] == '.') line.erase(0, 1);
        request.headerLines.push_back(std::move(line));
    }
}

void HttpServer::decodeTarget(HttpRequest& request) const {
    const std::string& target = request.target;
    const std::size_t question = target.find('?');
    const std::string before = target.substr(0, question);
    request.queryText = question == std::string::npos ? std::string() : target.substr(question + 1);
    request.path = before == "*" ? before : percentDecode(before, false);
    if (!request.formText.empty() && !request.queryText.empty())
        request.paramText = request.formText + "&" + request.queryText;
    else if (!request.formText.empty())
        request.paramText = request.formText;
    else
        request.paramText = request.queryText;
    const bool form = sameTextAscii(request.contentType, FormContentType);
    request.decodeParams(form ? request.paramText : request.queryText);
    for (const std::string& line : request.headerLines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || !sameTextAscii(std::string_view(line).substr(0, colon), "cookie")) continue;
        std::string_view rest = std::string_view(line).substr(colon + 1);
        while (!rest.empty()) {
            const std::size_t semi = rest.find(';');
            const std::string_view piece = trimBlanks(rest.substr(0, semi));
            if (!piece.empty()) request.cookies.emplace_back(piece);
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
    }
}

void HttpServer::decodeAuthorization(HttpRequest& request) {
    const std::string value = request.headerValue("Authorization");
    if (value.empty()) return;
    request.authPresent = true;
    const std::size_t space = value.find(' ');
    const std::string scheme = value.substr(0, space);
    if (!sameTextAscii(scheme, "Basic")) throw UnsupportedAuthorizationError(std::string(MsgUnsupportedAuth));
    const std::string credentials =
        decodeBase64(space == std::string::npos ? std::string_view() : std::string_view(value).substr(space + 1));
    const std::size_t colon = credentials.find(':');
    request.authUser = credentials.substr(0, colon);
    request.authPassword = colon == std::string::npos ? std::string() : credentials.substr(colon + 1);
}

void HttpServer::serveOneRequest(ClientConnection& context) {
    BufferedStream& connection = context.connection();

    const std::string requestLine = connection.readLine(MaxLineLength);
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (lastSpace == std::string::npos) throw RequestLineError(std::string(MsgParsingCommand));
    const std::string version = requestLine.substr(lastSpace + 1);
    const std::string front = requestLine.substr(0, lastSpace);
    const std::size_t firstSpace = front.find(' ');
    const std::string method = asciiUpper(front.substr(0, firstSpace));
    const std::string target = firstSpace == std::string::npos ? std::string() : front.substr(firstSpace + 1);

    // Other methods are not answered: the connection is closed.
    if (method != "GET" && method != "POST" && method != "HEAD") return;

    HttpRequest request;
    request.requestLine = requestLine;
    request.peerAddress = context.peerAddress();
    request.method = method;
    request.protocolVersion = version;
    request.target = target;
    readHeaderBlock(connection, request);
    request.readFields();

    // The body: by Content-Length whatever the method, or for a POST without one, up to the
    // peer's close. Bodies are bounded: nothing here reads them and memory is shared by all.
    if (request.contentLength > 0) {
        if (request.contentLength > MaxRequestBodyBytes) throw BodyTooLargeError(std::string(MsgBodyTooLarge));
        request.formText = connection.readBytes(static_cast<std::size_t>(request.contentLength));
    } else if (method == "POST" && !request.hasContentLength()) {
        request.formText = connection.readToClose(static_cast<std::size_t>(MaxRequestBodyBytes));
    }
    decodeTarget(request);
    decodeAuthorization(request);

    // The whole request has arrived; the rest of the exchange is not bound by the read deadline.
    if (SocketTransport* socket = context.socket()) socket->setReadDeadline(std::chrono::steady_clock::time_point::max());

    HttpResponse response(&connection);
    response.connection = "close";

    try {
        if (onCommandGet) onCommandGet(context, request, response);
    } catch (const SocketError&) {
        throw;
    } catch (const std::exception& error) {
        response.setStatusCode(500);
        response.bodyText = error.what();
    }
    if (!response.headerWritten()) response.sendHeader();
    if (!response.bodyText.empty() || response.bodyStream) response.sendBody();
    connection.flush();
}
