#pragma once

#include "base/status.h"
#include "ledger/withholding_columns.h"
#include "spreadsheets/table.h"
#include "store/field_changes.h"
#include "store/keyed_query.h"

#include <QString>
#include <QStringList>
#include <QVariant>

// The ledger grid: one user's withholding records of one year, every column of
// Ritenute in table order (withholdingColumns), with how each column is shown. The
// withholding panel reads the picked row's cells by these positions.
namespace ledger {

// The records of a year and a user's ID, in name then invoice-date order.
KeyedQuery ledgerGridQuery(const QString& year, const QString& userId);

// The longest invoice numbers of the year and user's records (the twenty longest
// texts), for the grid to show them whole.
Result<QStringList> longestInvoiceNumbers(const QString& year, const QString& userId);

// The text a cell shows.
QString cellText(CellFormat format, const QVariant& value);

// The columns of a record as its changes show them: the grid's captions and formats,
// without the record's own key and its version.
QList<field_changes::Field> recordChangeFields();

// How a cell of the format goes into a spreadsheet.
table_export::CellKind exportKind(CellFormat format);

} // namespace ledger
