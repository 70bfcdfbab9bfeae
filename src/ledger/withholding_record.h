#pragma once

#include "ledger/withholding_entry.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// A column value to write: no value leaves the column as it is, which is its default
// in a new row and its previous value in a corrected one.
template <typename T> using Written = std::optional<T>;
// A value that may be SQL NULL (no value).
template <typename T> using Nullable = std::optional<T>;

// One row of Ritenute in its stored form: amounts and the rate in cents, dates ISO
// yyyy-MM-dd or NULL, flags "S" or "N", the year and the user's ID as text.
struct WithholdingRecord {
    qint64 id = 0;                             // ID: set by the database, never written
    qint64 version = 0;                        // versione: read, raised by every correction
    Written<Nullable<qint64>> subjectId;       // ID_A
    Written<QString> name;                     // denominazione
    Written<QString> invoiceNumber;            // FT
    Written<Nullable<QString>> invoiceDate;    // data
    Written<qint64> taxable;                   // imponibile
    Written<qint64> rate;                      // aliquota, cents of percent (20 is 2000)
    Written<qint64> withheld;                  // ritenuta
    Written<qint64> other;                     // altro
    Written<qint64> total;                     // totale
    Written<QString> paid;                     // pag
    Written<Nullable<QString>> paymentDate;    // datap
    Written<QString> period;                   // periodo
    Written<Nullable<QString>> remittanceDate; // versamento
    Written<QString> lateRegularisation;       // ravv
    Written<qint64> remitted;                  // versato
    Written<qint64> interest;                  // interessi
    Written<qint64> penalty;                   // sanzione
    Written<QString> taxCode;                  // tributo
    Written<QString> year;                     // anno
    Written<QString> user;                     // utente
    Written<Nullable<QString>> dueDate;        // scadenza

    bool operator==(const WithholdingRecord&) const = default;
};

namespace ledger {

// Totale as the save writes it: Imponibile + Ritenuta + Altro in CtrNumD's form, or
// nothing when one of them is blank or unreadable (the typed Totale then stands).
std::optional<QString> recomputedTotal(const WithholdingEntry& entry);

// The column values that saving `entry` writes. A blank amount is written as 0 and a
// blank date or subject key as NULL, so that clearing a field in a correction clears
// the column; a value that does not read is not written.
WithholdingRecord recordFromEntry(const WithholdingEntry& entry);

} // namespace ledger
