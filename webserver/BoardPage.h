#pragma once
// The board page handler: every GET, POST and HEAD gets the fixed page head followed by the
// board fragment with its page time filled in, and leaves one access line in the activity log.
#include <string>
#include <string_view>

#include "text/Clock.h"
#include "ui/LogWriter.h"
#include "webserver/HttpRecords.h"

// The page head, in its six pieces (808 characters in all).
extern const std::string_view BoardPageHead[6];

// Appends text to the response body; an empty body first receives the page head.
void AddText(TIdHTTPResponseInfo& response, std::string_view text);

// The access line of a request answered by response ("%h \"%r\" %s %b" filled in), at most
// MaxAccessLineBytes long.
std::string BoardAccessLine(const TClock& clock, const TIdHTTPRequestInfo& request,
                            const TIdHTTPResponseInfo& response);

// Builds the page from fragment (one consistent snapshot), logs the access line, and marks the
// page as UTF-8 HTML.
void ServeBoardPage(const std::string& fragment, const TClock& clock, TLogWriter& log,
                    const TIdHTTPRequestInfo& request, TIdHTTPResponseInfo& response);
