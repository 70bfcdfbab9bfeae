#pragma once

#include "ledger/withholding_entry.h"

#include <QList>
#include <QString>

// One message shown before a withholding record is saved.
struct SaveFinding {
    QString message;
    QString title;
    QString focus; // object name of the control that takes the focus after OK
    bool stops = false;

    bool operator==(const SaveFinding&) const = default;
};

namespace ledger {

// The checks of a record about to be inserted or corrected, in their fixed order:
// every warning met on the way and, last, the finding that stops the save if one
// does. An empty list, or one of warnings only, lets the save go on to the
// confirmation. Deleting runs no check.
QList<SaveFinding> checkBeforeSave(const WithholdingEntry& entry, EntryMode mode);

} // namespace ledger
