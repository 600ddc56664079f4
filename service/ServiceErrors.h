#pragma once
// The errors of the service pieces, in the board's error family: each carries the one-line
// message the operator sees.
#include "text/Errors.h"

// An --allow value that is not an address or address range.
QUORVANE_DECLARE_ERROR(AddressRangeError, QuorvaneError, "AddressRangeError")
// A state directory or state file that cannot be found, created or written.
QUORVANE_DECLARE_ERROR(StateError, QuorvaneError, "StateError")
