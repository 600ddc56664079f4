#include "app/BoardSite.h"

#include "app/AppConstants.h"
#include "text/Text.h"

namespace {

bool isIpv6(const std::string& address) { return address.find(':') != std::string::npos; }

}  // namespace

BoardSite::BoardSite(const ServerSettings& server, const PageSettings& pages, const Clock& clock, LogWriter& log)
    : bindAddresses_(server.bindAddresses), board_(pages.hideTitles), handler_(board_, clock, log, pages) {
    server_.setDefaultPort(server.port);
    server_.setMaxClientConnections(server.maxClientConnections);
    for (const std::string& address : bindAddresses_)
        server_.bindings().push_back(
            {address, server.port, isIpv6(address) ? IpVersion::IPv6 : IpVersion::IPv4, InvalidSocket});
    // Served connections leave the port in TIME_WAIT for a minute; without address reuse a
    // restarted board could not listen again until then. A live listener still excludes another.
    server_.setReuseSocket(ReuseSocket::On);
    server_.setHandler([this](const HttpRequest& request, HttpResponse& response) { handler_.serve(request, response); });
    server_.setActive(true);
    port_ = server.port != 0 ? server.port : server_.boundPort(0);
}

BoardSite::~BoardSite() { server_.setActive(false); }

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
