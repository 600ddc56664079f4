#pragma once
// The demo calendar's own failure: options it cannot use, a socket or a certificate it cannot make.
#include "text/Errors.h"

namespace quorvane {

QUORVANE_DECLARE_ERROR(DemoError, QuorvaneError, "EDemoError")

}  // namespace quorvane
