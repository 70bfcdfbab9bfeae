#pragma once

#include <span>

// The program's exit statuses. A new one gets its meaning in exitStatusMeanings(),
// which `--help` and the manual page list.
enum ExitStatus {
    kExported = 0,
    kNoWindow = 1, // no display, or a database the window cannot open
    kBadArguments = 2,
    kNoDatabase = 3,
    kNothingToPrint = 4,
    kExportFailed = 5,     // also: the copy of --backup not written or not checked
    kDamaged = 6,          // --check found the ledger damaged
    kImportIncomplete = 7, // imported, but some rows were refused
    kImportRefused = 8,    // nothing imported: files, a ledger not empty, or a failed check
};

struct ExitStatusMeaning {
    ExitStatus status;
    const char* meaning; // Italian, for `--help`
};

// Every exit status, in ascending order, with what it means.
std::span<const ExitStatusMeaning> exitStatusMeanings();
