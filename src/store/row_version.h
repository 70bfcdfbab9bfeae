#pragma once

#include "base/status.h"

#include <QString>

// Several operators on one shared ledger: Ritenute and Soggetti rows carry a version
// (the column versione), raised by every correction. A correction or deletion names the
// version it loaded and changes the row only when it still holds that version, checked
// by the same statement in the same transaction; otherwise it is refused as changed by
// someone else, never silently overwritten.
namespace store {

// The assignment and the condition a checked write adds to its statement.
inline constexpr const char* kNextVersion = "versione = versione + 1";
inline constexpr const char* kSameVersion = " AND versione = ?";

// The refusal of a write whose row was changed by someone else after it was loaded.
// Its kind is ErrorKind::ChangedMeanwhile.
Status changedMeanwhile(const QString& what);

} // namespace store
