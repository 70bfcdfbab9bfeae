#pragma once

#include "base/status.h"

#include <QString>

// Deleting one user's ledger year, and the password that guards it.
namespace year_deletion {

// The fixed system password, compared as a number.
inline constexpr int kSystemPassword = 5829;

// Whether the operator's entry reads as exactly the number of the system password:
// blanks around it are ignored ("05829" and "5829,00" read as the same number); any
// other value, however close ("5829,001"), letters, the empty entry and a cancelled
// box do not match.
bool isSystemPassword(const QString& entry);

// Deletes every withholding record of `userId` in `year` in one transaction, matching
// both values exactly, after an automatic copy of the ledger; on failure nothing is
// deleted and the reason is returned.
// `deleted` receives the number of rows removed when given.
Status deleteYear(const QString& userId, const QString& year, int* deleted = nullptr);

} // namespace year_deletion
