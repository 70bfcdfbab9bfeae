#pragma once

#include "base/status.h"
#include "importing/record_fields.h"
#include "importing/sheet_rows.h"
#include "ledger/save_checks.h"
#include "ledger/withholding_entry.h"
#include "registry/subject_store.h"
#include "spreadsheets/sheet_table.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QStringList>
#include <functional>

// Records brought in from a spreadsheet (one user's year) or from electronic invoices:
// every row of the source is checked as the entry panel checks a record before saving
// it, then the rows that pass are written in one transaction.
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

// A row of any source as the entry panel would hold it once typed in, before the checks.
struct CandidateRow {
    int line = 0;   // the row of the sheet, the line of the text file, the invoice's place
    QString source; // the file of an electronic invoice; empty for a sheet's row
    WithholdingEntry entry;
    PayeeCodes payee;
    registry::Subject details; // of a payee to create: address, town, causale, ...
    // The payee is the subject of its codice fiscale, else of its partita IVA, and by name
    // only when it has neither; otherwise by name.
    bool matchByCodes = false;
    QList<SaveFinding> unreadable; // what stops the row before any check
    QList<SaveFinding> notes;      // warnings of the source, before the checks'
};

struct PlannedRow {
    int line = 0; // the row of the sheet or the line of the text file
    QString source;
    WithholdingEntry entry;
    QList<SaveFinding> findings; // every warning met and the message that stops, in order
    RowVerdict verdict = RowVerdict::Ready;
    bool newSubject = false;   // its payee matches no subject and is created with it
    PayeeCodes payee;          // of the subject created, checked
    registry::Subject details; // the rest of the subject created

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
    // A record is the same as one of the user's in any year, not only the year's.
    bool duplicatesInEveryYear = false;
};

// Every data row below the header, checked. Reads the ledger, writes nothing.
Result<ImportPlan> planImport(const sheet::Table& table, const SheetLayout& layout,
                              const PlanOptions& options);

// The rows of any source, checked; `codes` are the codes each payee has in the source, by
// name in case-folded form. Reads the ledger, writes nothing.
Result<ImportPlan> planRows(const QList<CandidateRow>& rows, const PlanOptions& options,
                            const QHash<QString, PayeeCodes>& codes);

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
