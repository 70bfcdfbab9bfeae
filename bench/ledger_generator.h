#pragma once

#include "base/status.h"

#include <QString>
#include <functional>

// Builds a realistic office ledger for measurements, written through the same record
// conversion and store functions that the entry panel uses.
struct LedgerShape {
    int subjects = 2000;        // counterparties, users included
    int users = 20;             // subjects flagged as users
    int recordsPerYear = 10000; // records of each user in each year
    int years = 5;              // consecutive years ending with `lastYear`
    int lastYear = 2025;
    int bigYearRecords = 100000; // one more user-year of this size (0 for none)
    quint64 seed = 1;
};

// Creates `path` (which must not exist) and fills it. `progress` is told the records
// written so far.
Status generateLedger(const QString& path, const LedgerShape& shape,
                      const std::function<void(qint64 written, qint64 total)>& progress);
