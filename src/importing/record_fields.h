#pragma once

#include "spreadsheets/sheet_table.h"

#include <QList>
#include <QString>
#include <optional>

// The fields of a withholding record a spreadsheet column can fill, and the matching of
// a sheet's column captions to them.
namespace importing {

enum class RecordField {
    Name,
    InvoiceNumber,
    InvoiceDate,
    Taxable,
    Rate,
    Withheld,
    Other,
    Total,
    Paid,
    PaymentDate,
    Period,
    RemittanceDate,
    LateRegularisation,
    Remitted,
    Interest,
    Penalty,
    TaxCode,
    DueDate,
    PayeeTaxCode,   // of a payee the import creates
    PayeeVatNumber, // of a payee the import creates
};
inline constexpr int kRecordFieldCount = 20;

// The Italian name the operator sees for the field.
QString fieldLabel(RecordField field);

// The field a column caption names: the captions of the program's own exports, the
// column names of Ritenute, the field labels and a few common synonyms, in any letter
// case, with or without accents, blanks and punctuation. No value for any other caption.
std::optional<RecordField> fieldOfCaption(const QString& caption);

// The field of each column of a sheet, by position; no value leaves the column out.
using ColumnFields = QList<std::optional<RecordField>>;

// The fields of the captions of `header`. A field named by two columns goes to the
// first of them.
ColumnFields matchCaptions(const sheet::Row& header);

// The header among the first rows of a sheet, past the title and selection lines an
// export writes above it: the first row whose captions name the most fields, at least
// two. -1 when no row does.
int findHeaderRow(const QList<sheet::Row>& rows);

} // namespace importing
