#pragma once
// One-line reasons for answers the clients cannot use: the HTTP status and the service's own
// error code, never anything else of the body (it may echo a request).
#include <QByteArray>

#include <string>

// The error code of a service's error body: Microsoft Graph's error.code, Google's error.status
// or error.errors[0].reason, OAuth's error; empty when there is none (or it is not a short,
// printable word).
std::string serviceErrorCode(const QByteArray& body);
// "HTTP 403 (ErrorAccessDenied)", or "HTTP 404" without a code.
std::string httpFailure(int status, const QByteArray& body);
