#pragma once
// The error of a browser value that has no text form.
#include "text/Errors.h"

QUORVANE_DECLARE_ERROR(VariantCastError, QuorvaneError, "EVariantTypeCastError")
