#pragma once

#include "base/status.h"
#include "importing/record_fields.h"
#include "importing/sheet_rows.h"
#include "ledger/save_checks.h"
#include "ledger/withholding_entry.h"
#include "platform/sheet/sheet_table.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>

// Records of one user's year brought in from a spreadsheet: every row is read and checked
// as the entry panel checks a record before saving it, then the rows that pass are
// written in one transaction.
namespace importing {

// Where the records are in a sheet: the row of the captions and the field of each column.
struct SheetLayout {
    int headerRow = -1; // index in the table's rows; -1 when no row names the fields
    QStringList captions;
    ColumnFields fields;
};

// The layout the captions give; the operator may change the fields afterwards.
SheetLayout layoutOf(const sheet::Table& table);

enum class RowVerdict {
    Ready,     // passes every check
    Warned,    // passes, with warnings
    Stopped,   // a check stops it: not imported
    Duplicate, // the ledger or an earlier row of the file holds it already: not imported
};

struct PlannedRow {
    int line = 0; // the row of the sheet or the line of the text file
    WithholdingEntry entry;
    QList<SaveFinding> findings; // every warning met and the message that stops, in order
    RowVerdict verdict = RowVerdict::Ready;
    bool newSubject = false; // its payee matches no subject and is created with it
    PayeeCodes payee;        // of the subject created, checked

    // The findings' messages: the one that stops the row first, then the warnings.
    QStringList messages() const;
};

struct ImportPlan {
    QList<PlannedRow> rows;
    int totalsLine = 0; // the totals row of an export, left out; 0 when there is none
    // The payees to create whose rows give no codice fiscale, each once, in the order met:
    // the operator writes their codes (PlanOptions::typedCodes).
    QStringList payeesWithoutTaxCode;

    int count(RowVerdict verdict) const;
    int importable() const { return count(RowVerdict::Ready) + count(RowVerdict::Warned); }
    // The payees to create, each once, in the order met.
    QStringList newSubjects() const;
};

struct PlanOptions {
    QString userId;
    QString year;
    bool createSubjects = false; // a payee matching no subject is created, not refused
    QDate today;                 // for two-digit years
    // The codes the operator wrote for payees to create, by name in case-folded form.
    QHash<QString, PayeeCodes> typedCodes;
};

// Every data row below the header, checked. Reads the ledger, writes nothing.
Result<ImportPlan> planImport(const sheet::Table& table, const SheetLayout& layout,
                              const PlanOptions& options);

struct ImportOutcome {
    Status status = Status::success();
    bool cancelled = false; // stopped by the progress: nothing was written
    int records = 0;
    int subjects = 0;
};

// Told the rows written so far and their total; false stops the import.
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Writes the new subjects and the importable rows of `plan` in one transaction: all of
// them, or nothing after a failure or a stop.
ImportOutcome runImport(const ImportPlan& plan, const ImportProgress& progress = {});

} // namespace importing
