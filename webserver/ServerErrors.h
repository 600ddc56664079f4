#pragma once
// The errors of the board web server. Socket errors end a connection quietly; the others carry
// the reason a request was not answered.
#include "text/Errors.h"

namespace quorvane {

// Activation could not bind a listening address; the message says why, and which address.
QUORVANE_DECLARE_ERROR(CouldNotBindError, QuorvaneError, "EIdCouldNotBindSocket")
// The one case with the classic message: the address and port are taken (another port may not be).
QUORVANE_DECLARE_ERROR(AddressInUseError, CouldNotBindError, "EIdCouldNotBindSocket")
// A socket operation failed; the message carries the platform's error number and text.
QUORVANE_DECLARE_ERROR(SocketError, QuorvaneError, "EIdSocketError")
// The peer closed its sending side before the request was complete.
QUORVANE_DECLARE_ERROR(ConnectionClosedError, SocketError, "EIdConnClosedGracefully")
// The request did not arrive in time.
QUORVANE_DECLARE_ERROR(ReadTimeoutError, SocketError, "EIdReadTimeout")
// A request line or header line too long.
QUORVANE_DECLARE_ERROR(LineTooLongError, QuorvaneError, "EIdMaxLineLengthExceeded")
// A request line without any space.
QUORVANE_DECLARE_ERROR(RequestLineError, QuorvaneError, "EIdHTTPErrorParsingCommand")
// Too many header lines.
QUORVANE_DECLARE_ERROR(TooManyHeaderLinesError, QuorvaneError, "EIdHTTPHeaderLineCountExceeded")
// The request line and headers together beyond MaxRequestHeadBytes.
QUORVANE_DECLARE_ERROR(RequestHeadTooLargeError, QuorvaneError, "EIdHTTPRequestHeadTooLarge")
// A second sendHeader on one response.
QUORVANE_DECLARE_ERROR(HeaderAlreadyWrittenError, QuorvaneError, "EIdHTTPHeaderAlreadyWritten")
// A request body beyond what the server accepts.
QUORVANE_DECLARE_ERROR(BodyTooLargeError, QuorvaneError, "EIdHTTPBodyTooLarge")

}  // namespace quorvane
