#include "app/BoardSite.h"

#include "app/AppConstants.h"
#include "app/HealthPages.h"
#include "pages/ClassicPage.h"
#include "pages/PagesConstants.h"
#include "text/Text.h"

namespace quorvane {

namespace {

bool isIpv6(const std::string& address) { return address.find(':') != std::string::npos; }

}  // namespace

BoardSite::BoardSite(const ServerSettings& server, const PageSettings& pages, const Clock& clock, LogWriter& log,
                     SelfStatusStore* ownStatuses)
    : clock_(clock), log_(log), allow_(server.allow), metrics_(ProgramVersion), bindAddresses_(server.bindAddresses),
      board_(pages.hideTitles), handler_(board_, clock, log, pages), ownStatuses_(ownStatuses) {
    if (ownStatuses_) {
        ownPages_ = std::make_unique<SelfStatusPages>(*ownStatuses_, clock_, log_);
        server_.setBodyFilter(&SelfStatusPages::wantsBody);
    }
    server_.setDefaultPort(server.port);
    server_.setMaxClientConnections(server.maxClientConnections);
    for (const std::string& address : bindAddresses_)
        server_.bindings().push_back(
            {address, server.port, isIpv6(address) ? IpVersion::IPv6 : IpVersion::IPv4, InvalidSocket});
    // Served connections leave the port in TIME_WAIT for a minute; without address reuse a
    // restarted board could not listen again until then. A live listener still excludes another.
    server_.setReuseSocket(ReuseSocket::On);
    server_.setHandler([this](const HttpRequest& request, HttpResponse& response) { serve(request, response); });
    server_.setErrorReport([this](const HttpRequest& request, const std::string& message) {
        metrics_.httpAnswered(500);
        log_.error(std::string(AnswerFailedHead) + request.peerAddress + " \"" + request.requestLine + "\": " + message);
    });
    if (!allow_.allowsEveryone())
        server_.setClientGate([this](const HttpRequest& peer, HttpResponse& response) { return admit(peer, response); });
    server_.setActive(true);
    port_ = server.port != 0 ? server.port : server_.boundPort(0);
}

BoardSite::~BoardSite() { server_.setActive(false); }

void BoardSite::publish(SharedSnapshot snapshot) {
    if (snapshot->dataTime) metrics_.setDataTime(*snapshot->dataTime);
    if (snapshot->lastGrabTime && snapshot->lastGrabTime != lastGrabSeen_) {
        lastGrabSeen_ = snapshot->lastGrabTime;
        metrics_.grabEnded(snapshot->lastGrabOk, ServiceMetrics::systemNow());
    }
    base_ = std::move(snapshot);
    republish();
}

void BoardSite::republish() {
    if (!base_) return;
    board_.publish(ownStatuses_ ? withOwnStatuses(base_, ownStatuses_->statusesAt(instantOfLocal(clock_.now()))) : base_);
}

void BoardSite::serve(const HttpRequest& request, HttpResponse& response) {
    if (!serveHealth(request, response) && !(ownPages_ && ownPages_->serve(request, response)))
        handler_.serve(request, response);
    metrics_.httpAnswered(response.statusCode());
}

bool BoardSite::serveHealth(const HttpRequest& request, HttpResponse& response) {
    const HealthPath path = healthPathOf(request.path);
    if (path == HealthPath::None) return false;
    response.contentType = std::string(HealthContentType);
    response.cacheControl = std::string(NoCache);
    if (path == HealthPath::Live) {
        response.bodyText = std::string(LiveText);
    } else if (path == HealthPath::Ready) {
        const std::optional<std::string> reason = notReadyReason(*board_.current()->snapshot, ServiceMetrics::systemNow());
        if (reason) response.setStatusCode(503);
        response.bodyText = reason ? *reason : std::string(ReadyText);
    } else {
        metrics_.setConnectionsOpen(static_cast<double>(server_.contextCount()));
        response.bodyText = metrics_.render();
        response.contentType = std::string(MetricsContentType);
    }
    log_.log(boardAccessLine(clock_, request, response), false);
    return true;
}

bool BoardSite::admit(const HttpRequest& peer, HttpResponse& response) {
    if (allow_.allows(peer.peerAddress)) return true;
    response.setStatusCode(403);
    response.bodyText = response.reasonPhrase();
    response.contentType = std::string(PlainContentType);
    metrics_.httpAnswered(403);
    log_.log(boardAccessLine(clock_, peer, response), false);
    return false;
}

std::string BoardSite::pageAddress() const {
    // The loopback address when the board listens there (or everywhere), else the first address.
    std::string host(PageLoopbackHost);
    const auto& addresses = bindAddresses_;
    auto has = [&](const char* address) {
        for (const std::string& a : addresses)
            if (a == address) return true;
        return false;
    };
    if (!addresses.empty() && !has("0.0.0.0") && !has("127.0.0.1")) {
        if (has("::") || has("::1"))
            host = "[::1]";
        else
            host = isIpv6(addresses.front()) ? "[" + addresses.front() + "]" : addresses.front();
    }
    return std::string(PageScheme) + host + ":" + intToText(port_) + std::string(PageAddressTail);
}

}  // namespace quorvane
