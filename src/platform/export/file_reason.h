#pragma once

#include <QString>

// The Italian reason for a failed file operation, from the system's error number.
QString fileReason(int errorNumber);
