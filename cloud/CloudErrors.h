#pragma once
// The start-up error of the cloud calendars: a credentials or key file that cannot be used.
#include "text/Errors.h"

QUORVANE_DECLARE_ERROR(CloudCredentialsError, QuorvaneError, "ECloudCredentialsError")
