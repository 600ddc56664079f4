#pragma once
// The errors of the board web server. Socket errors end a connection quietly; the others carry
// the reason a request was not answered.
#include "text/Errors.h"

// Activation could not bind a listening address.
QUORVANE_DECLARE_ERROR(EIdCouldNotBindSocket, EQuorvaneError)
// A socket operation failed; the message carries the platform's error number and text.
QUORVANE_DECLARE_ERROR(EIdSocketError, EQuorvaneError)
// The peer closed its sending side before the request was complete.
QUORVANE_DECLARE_ERROR(EIdConnClosedGracefully, EIdSocketError)
// The request did not arrive in time.
QUORVANE_DECLARE_ERROR(EIdReadTimeout, EIdSocketError)
// A request line or header line too long.
QUORVANE_DECLARE_ERROR(EIdMaxLineLengthExceeded, EQuorvaneError)
// A request line without any space.
QUORVANE_DECLARE_ERROR(EIdHTTPErrorParsingCommand, EQuorvaneError)
// Too many header lines.
QUORVANE_DECLARE_ERROR(EIdHTTPHeaderLineCountExceeded, EQuorvaneError)
// An Authorization header with a scheme other than Basic.
QUORVANE_DECLARE_ERROR(EIdHTTPUnsupportedAuthorisationScheme, EQuorvaneError)
// A second SendHeader on one response.
QUORVANE_DECLARE_ERROR(EIdHTTPHeaderAlreadyWritten, EQuorvaneError)
// A request body beyond what the server accepts.
QUORVANE_DECLARE_ERROR(EIdHTTPBodyTooLarge, EQuorvaneError)
