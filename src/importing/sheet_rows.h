#pragma once

#include "importing/record_fields.h"
#include "ledger/save_checks.h"
#include "ledger/withholding_entry.h"
#include "spreadsheets/sheet_table.h"

#include <QDate>
#include <QList>
#include <QStringList>

// A spreadsheet row as the entry panel would hold it once typed in.
namespace importing {

// The codes of the payee a row names, as written in its cells.
struct PayeeCodes {
    QString taxCode;   // codice fiscale
    QString vatNumber; // partita IVA
};

struct SheetEntry {
    WithholdingEntry entry;
    PayeeCodes payee;
    // One stopping finding per cell that does not read as its field's kind.
    QList<SaveFinding> unreadable;
};

// The entry of `row` for the user's ID and the year, its cells taken by `fields` (the
// field of each column, `captions` naming the columns in messages). Amounts are written
// as the panel shows them, dates dd/MM/yyyy. What typing does in the panel is done too:
// without a "paid" column a payment date means paid; a payment date without a period or
// a due date gives them; Totale Versato 0 without a remittance date is blank; a blank Altro is 0
// and a blank total Imponibile + Ritenuta + Altro.
SheetEntry entryOfRow(const sheet::Row& row, const ColumnFields& fields,
                      const QStringList& captions, const QString& userId, const QString& year,
                      const QDate& today);

} // namespace importing
