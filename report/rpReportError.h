// The error the report engine raises.
#pragma once

#include "PelmoraError.h"

// Failures of the object model (duplicate name, circular child chain...) and
// of a report run.
class TrpReportError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};
