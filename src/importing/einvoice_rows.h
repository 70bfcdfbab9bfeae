#pragma once

#include "importing/einvoice.h"
#include "importing/sheet_import.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

// Electronic invoices as rows of the import: one record per invoice body with one
// withholding-tax block, for the ledger user who bought it.
namespace importing {

// A subject with "Utente" ticked: the withholding agent an invoice is imported for.
struct LedgerUser {
    QString id;
    QString name;
    QString taxCode;
    QString vatNumber;
};

// Every user of the ledger, in ID order.
Result<QList<LedgerUser>> ledgerUsers();

// The user whose codice fiscale or partita IVA is one of the buyer's codes; none when no
// user's is.
std::optional<LedgerUser> userOfBuyer(const einvoice::Party& buyer, const QList<LedgerUser>& users);

// A file or an invoice body that gives no record, with the reason (Italian).
struct ListedItem {
    QString source;
    QString reason;
    bool refused = false; // damaged or hostile, not merely of another kind
};

// What becomes of one body: a row, or the reason it gives none.
struct BodyReading {
    std::optional<CandidateRow> row;
    QString listed;
};

// The record of `body` for user `userId`, as an operator would type it from the invoice:
// Imponibile the lines and pension-fund contributions flagged for withholding, Altro the
// others, Aliquota and Ritenuta the invoice's, the tax code 1040 for reason A, not paid.
BodyReading readBody(const einvoice::Invoice& invoice, const einvoice::Body& body,
                     const QString& userId);

struct InvoiceRows {
    QList<CandidateRow> rows;
    QList<ListedItem> listed;
    QHash<QString, PayeeCodes> codes; // of each supplier, by name in case-folded form
    int files = 0;                    // the invoice files read
};

// Adds the rows, listings and codes of `more` after those of `into`, numbering its rows on.
void appendRows(InvoiceRows& into, InvoiceRows more);

// Reads every file of `path` (one file, a folder or a zip) for `users`: the rows of the
// invoices they bought, the others listed. Fails only when `path` cannot be read.
Result<InvoiceRows> readInvoiceRows(const QString& path, const QList<LedgerUser>& users);

} // namespace importing
