#include "webserver/IdCustomHTTPServer.h"

#include "webserver/HttpDecode.h"
#include "webserver/ServerErrors.h"
#include "webserver/Socket.h"

TIdCustomHTTPServer::~TIdCustomHTTPServer() {
    // For classes deriving from this one directly; TIdHTTPServer has stopped the server already.
    SetActive(false);
}

void TIdCustomHTTPServer::DoCommandGet(TIdContext& context, TIdHTTPRequestInfo& request,
                                       TIdHTTPResponseInfo& response) {
    if (OnCommandGet) OnCommandGet(context, request, response);
}

void TIdCustomHTTPServer::DoCommandOther(TIdContext& context, const std::string& command, const std::string& data,
                                         const std::string& version) {
    if (OnCommandOther) OnCommandOther(context, command, data, version);
}

bool TIdCustomHTTPServer::ServeConnection(TIdContext& context) {
    try {
        while (ServeOneRequest(context)) {
        }
    } catch (...) {
        context.Connection().Close();
        throw;
    }
    context.Connection().Close();
    return false;
}

void TIdCustomHTTPServer::ReadHeaderBlock(TIdIOHandler& connection, TIdHTTPRequestInfo& request) const {
    for (;;) {
        std::string line = connection.ReadLine(MaxLineLength);
        if (line.empty()) return;
        if (static_cast<long long>(request.HeaderLines.size()) > maximumHeaderLineCount_)
            throw EIdHTTPHeaderLineCountExceeded(std::string(MsgHeaderLineCount));
        if (line.size() >= 2 && line[0] == '.' && line[1] == '.') line.erase(0, 1);
        request.HeaderLines.push_back(std::move(line));
    }
}

void TIdCustomHTTPServer::DecodeTarget(TIdHTTPRequestInfo& request) const {
    const std::string& target = request.Target;
    const std::size_t question = target.find('?');
    const std::string before = target.substr(0, question);
    request.QueryText = question == std::string::npos ? std::string() : target.substr(question + 1);
    request.Path = before == "*" ? before : DecodeURLText(before, false);
    if (!request.FormText.empty() && !request.QueryText.empty())
        request.ParamText = request.FormText + "&" + request.QueryText;
    else if (!request.FormText.empty())
        request.ParamText = request.FormText;
    else
        request.ParamText = request.QueryText;
    if (parseParams_) {
        const bool form = SameTextAscii(request.ContentType, FormContentType);
        request.DecodeParams(form ? request.ParamText : request.QueryText);
    }
    for (const std::string& line : request.HeaderLines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || !SameTextAscii(std::string_view(line).substr(0, colon), "cookie")) continue;
        std::string_view rest = std::string_view(line).substr(colon + 1);
        while (!rest.empty()) {
            const std::size_t semi = rest.find(';');
            const std::string_view piece = TrimBlanks(rest.substr(0, semi));
            if (!piece.empty()) request.Cookies.emplace_back(piece);
            if (semi == std::string_view::npos) break;
            rest.remove_prefix(semi + 1);
        }
    }
}

void TIdCustomHTTPServer::DecodeAuthorization(TIdHTTPRequestInfo& request) {
    const std::string value = request.HeaderValue("Authorization");
    if (value.empty()) return;
    request.AuthPresent = true;
    const std::size_t space = value.find(' ');
    const std::string scheme = value.substr(0, space);
    if (!SameTextAscii(scheme, "Basic")) throw EIdHTTPUnsupportedAuthorisationScheme(std::string(MsgUnsupportedAuth));
    const std::string credentials =
        DecodeBase64(space == std::string::npos ? std::string_view() : std::string_view(value).substr(space + 1));
    const std::size_t colon = credentials.find(':');
    request.AuthUser = credentials.substr(0, colon);
    request.AuthPassword = colon == std::string::npos ? std::string() : credentials.substr(colon + 1);
}

bool TIdCustomHTTPServer::ServeOneRequest(TIdContext& context) {
    TIdIOHandler& connection = context.Connection();

    const std::string requestLine = connection.ReadLine(MaxLineLength);
    const std::size_t lastSpace = requestLine.rfind(' ');
    if (lastSpace == std::string::npos) throw EIdHTTPErrorParsingCommand(std::string(MsgParsingCommand));
    const std::string version = requestLine.substr(lastSpace + 1);
    const std::string front = requestLine.substr(0, lastSpace);
    const std::size_t firstSpace = front.find(' ');
    const std::string method = AsciiUpper(front.substr(0, firstSpace));
    const std::string target = firstSpace == std::string::npos ? std::string() : front.substr(firstSpace + 1);

    if (method != "GET" && method != "POST" && method != "HEAD") {
        DoCommandOther(context, method, target, version);
        return false;
    }

    TIdHTTPRequestInfo request;
    request.RequestLine = requestLine;
    request.PeerAddress = context.PeerAddress();
    request.Method = method;
    request.ProtocolVersion = version;
    request.Target = target;
    ReadHeaderBlock(connection, request);
    request.ReadFields();

    // The body: by Content-Length whatever the method, or for a POST without one, up to the
    // peer's close. Bodies are bounded: nothing here reads them and memory is shared by all.
    if (request.ContentLength > 0) {
        if (request.ContentLength > MaxRequestBodyBytes) throw EIdHTTPBodyTooLarge(std::string(MsgBodyTooLarge));
        request.FormText = connection.ReadBytes(static_cast<std::size_t>(request.ContentLength));
    } else if (method == "POST" && !request.HasContentLength()) {
        request.FormText = connection.ReadToClose(static_cast<std::size_t>(MaxRequestBodyBytes));
    }
    DecodeTarget(request);
    DecodeAuthorization(request);

    // The whole request has arrived; the rest of the exchange is not bound by the read deadline.
    if (TIdSocketConnection* socket = context.Socket()) socket->SetReadDeadline(std::chrono::steady_clock::time_point::max());

    TIdHTTPResponseInfo response(&connection);
    const bool keep = keepAlive_ && SameTextAscii(request.Connection, "Keep-alive");
    response.Connection = keep ? "keep-alive" : "close";
    response.CloseAfterResponse = !keep;
    if (!std::string(TrimBlanks(serverSoftware_)).empty()) response.Server = serverSoftware_;

    try {
        DoCommandGet(context, request, response);
    } catch (const EIdSocketError&) {
        throw;
    } catch (const std::exception& error) {
        response.SetStatusCode(500);
        response.BodyText = error.what();
    }
    if (!response.HeaderWritten()) response.SendHeader();
    if (!response.BodyText.empty() || response.BodyStream) response.SendBody();
    connection.Flush();

    if (response.CloseAfterResponse) return false;
    if (TIdSocketConnection* socket = context.Socket())
        socket->SetReadDeadline(std::chrono::steady_clock::now() + std::chrono::milliseconds(RequestTimeoutMs()));
    return true;
}
