#pragma once
// The HTTP side of the server: reads one request from a connection, hands it to the handler of
// its method and writes the response.
#include <functional>
#include <string>

#include "webserver/HttpRecords.h"
#include "webserver/IdTCPServer.h"

using TIdHTTPGetEvent = std::function<void(TIdContext&, TIdHTTPRequestInfo&, TIdHTTPResponseInfo&)>;
using TIdHTTPOtherEvent =
    std::function<void(TIdContext&, const std::string& command, const std::string& data, const std::string& version)>;
using TIdHTTPSessionEvent = std::function<void(TIdContext&, TIdHTTPRequestInfo&)>;
using TIdHTTPCreatePostStream = std::function<void(TIdContext&, std::unique_ptr<std::istream>&)>;

class TIdCustomHTTPServer : public TIdTCPServer {
public:
    ~TIdCustomHTTPServer() override;

    void SetKeepAlive(bool keepAlive) { keepAlive_ = keepAlive; }
    bool KeepAlive() const { return keepAlive_; }
    void SetServerSoftware(std::string text) { serverSoftware_ = std::move(text); }
    const std::string& ServerSoftware() const { return serverSoftware_; }
    void SetMaximumHeaderLineCount(int count) { maximumHeaderLineCount_ = count; }
    void SetParseParams(bool parse) { parseParams_ = parse; }

    // The exchange on one connection; always returns false and always leaves it closed. Public
    // so that a connection fed from memory can be served directly.
    bool ServeConnection(TIdContext& context);

    TIdHTTPGetEvent OnCommandGet;
    TIdHTTPOtherEvent OnCommandOther;
    TIdHTTPSessionEvent OnCreateSession, OnInvalidSession;
    TIdHTTPCreatePostStream OnCreatePostStream;

protected:
    bool DoExecute(TIdContext& context) override { return ServeConnection(context); }
    virtual void DoCommandGet(TIdContext& context, TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response);
    virtual void DoCommandOther(TIdContext& context, const std::string& command, const std::string& data,
                                const std::string& version);

private:
    // One request and its response; false when the connection is to be closed.
    bool ServeOneRequest(TIdContext& context);
    void ReadHeaderBlock(TIdIOHandler& connection, TIdHTTPRequestInfo& request) const;
    void DecodeTarget(TIdHTTPRequestInfo& request) const;
    static void DecodeAuthorization(TIdHTTPRequestInfo& request);

    bool keepAlive_ = false;
    std::string serverSoftware_;
    int maximumHeaderLineCount_ = DefaultMaximumHeaderLineCount;
    bool parseParams_ = true;
};
