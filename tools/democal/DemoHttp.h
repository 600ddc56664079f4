#pragma once
// The bit of HTTP/1.1 the demo calendar needs: reading a request head, query pairs, percent
// decoding, cookies, and writing a response with "Connection: close".
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane {

using DemoPairs = std::vector<std::pair<std::string, std::string>>;

struct DemoRequest {
    std::string method;
    std::string target;   // as sent: path and query
    std::string version;
    DemoPairs headers;    // names as sent

    // First header of that name (letter case ignored), or nullopt.
    std::optional<std::string> header(std::string_view name) const;
    std::string path() const;   // the target before "?"
    std::string query() const;  // the target after the first "?", or empty
};

struct DemoResponse {
    int status = 200;
    std::string reason = "OK";
    std::string body;
    DemoPairs headers;  // besides Content-Type, Content-Length, Connection and Cache-Control
    std::string contentType = "text/html; charset=utf-8";
};

// Position just past the blank line that ends a request head ("\r\n\r\n" or "\n\n"), or npos.
std::size_t headEnd(std::string_view data);
// Parses a request head (request line and header lines); nullopt when it is not HTTP.
std::optional<DemoRequest> parseRequestHead(std::string_view head);

// Query pairs split at "&" and at the first "=" of each pair, values left encoded; "#" ends
// the query.
DemoPairs splitQuery(std::string_view query);
// First value of the key, or nullopt.
std::optional<std::string> queryValue(const DemoPairs& pairs, std::string_view key);
// Value of the named cookie in a Cookie header, or nullopt.
std::optional<std::string> cookieValue(std::string_view header, std::string_view name);

// The response bytes; a HEAD request gets the head only.
std::string serializeResponse(const DemoResponse& response, bool headOnly);
// Text with bytes below 32 and above 126 shown as \xNN, for one-line log output.
std::string printable(std::string_view text);

}  // namespace quorvane
