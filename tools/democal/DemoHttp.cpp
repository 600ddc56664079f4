#include "tools/democal/DemoHttp.h"

#include <cstdio>

#include "text/Text.h"

namespace quorvane {

namespace {

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool isToken(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c <= ' ' || c >= 127) return false;
    return true;
}

}  // namespace

std::optional<std::string> DemoRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers)
        if (sameTextAscii(key, name)) return value;
    return std::nullopt;
}

std::string DemoRequest::path() const { return target.substr(0, target.find('?')); }

std::string DemoRequest::query() const {
    std::size_t mark = target.find('?');
    return mark == std::string::npos ? std::string() : target.substr(mark + 1);
}

std::size_t headEnd(std::string_view data) {
    std::size_t crlf = data.find("\r\n\r\n");
    std::size_t lf = data.find("\n\n");
    if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf + 2 <= lf))
        return crlf + 4;
    return lf == std::string_view::npos ? lf : lf + 2;
}

std::optional<DemoRequest> parseRequestHead(std::string_view head) {
    std::size_t lineEnd = head.find('\n');
    std::string_view line = trim(head.substr(0, lineEnd));
    std::size_t first = line.find(' ');
    std::size_t last = line.rfind(' ');
    if (first == std::string_view::npos || first == last) return std::nullopt;
    DemoRequest request;
    request.method = std::string(line.substr(0, first));
    request.target = std::string(trim(line.substr(first + 1, last - first - 1)));
    request.version = std::string(line.substr(last + 1));
    if (!isToken(request.method) || !isToken(request.target) ||
        request.version.rfind("HTTP/", 0) != 0)
        return std::nullopt;

    while (lineEnd != std::string_view::npos) {
        std::size_t start = lineEnd + 1;
        lineEnd = head.find('\n', start);
        std::string_view header = trim(head.substr(start, lineEnd - start));
        if (header.empty()) continue;
        std::size_t colon = header.find(':');
        if (colon == std::string_view::npos || !isToken(header.substr(0, colon))) return std::nullopt;
        request.headers.emplace_back(std::string(header.substr(0, colon)),
                                     std::string(trim(header.substr(colon + 1))));
    }
    return request;
}

DemoPairs splitQuery(std::string_view query) {
    query = query.substr(0, query.find('#'));
    DemoPairs pairs;
    while (!query.empty()) {
        std::size_t amp = query.find('&');
        std::string_view pair = query.substr(0, amp);
        if (!pair.empty()) {
            std::size_t eq = pair.find('=');
            if (eq == std::string_view::npos)
                pairs.emplace_back(std::string(pair), std::string());
            else
                pairs.emplace_back(std::string(pair.substr(0, eq)), std::string(pair.substr(eq + 1)));
        }
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return pairs;
}

std::optional<std::string> queryValue(const DemoPairs& pairs, std::string_view key) {
    for (const auto& [name, value] : pairs)
        if (name == key) return value;
    return std::nullopt;
}

std::optional<std::string> cookieValue(std::string_view header, std::string_view name) {
    while (!header.empty()) {
        std::size_t semi = header.find(';');
        std::string_view cookie = trim(header.substr(0, semi));
        std::size_t eq = cookie.find('=');
        if (eq != std::string_view::npos && trim(cookie.substr(0, eq)) == name)
            return std::string(trim(cookie.substr(eq + 1)));
        if (semi == std::string_view::npos) break;
        header.remove_prefix(semi + 1);
    }
    return std::nullopt;
}

std::string serializeResponse(const DemoResponse& response, bool headOnly) {
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\nConnection: close\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    out += "\r\n";
    if (!headOnly) out += response.body;
    return out;
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (c < 32 || c > 126 || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace quorvane
