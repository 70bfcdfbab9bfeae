#pragma once

#include "base/status.h"

#include <QString>

// The Italian reason for a failed file operation, from the system's error number.
QString fileReason(int errorNumber);

// The kind of that failure.
ErrorKind fileErrorKind(int errorNumber);

// The failure of a file operation: its kind and its reason.
Status fileFailure(int errorNumber);
