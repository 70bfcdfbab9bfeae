#pragma once

#include "ledger/withholding_record.h"

#include <QString>
#include <QtGlobal>
#include <span>
#include <variant>

// The columns of Ritenute, declared once: in stored order, each with its name, the
// record field it holds (whose type is the column's: integer cents or key, text, or
// either of them nullable) and how the ledger grid shows it. The insert, update and
// select statements, the ledger grid and the reading back of a grid row derive from it.
namespace ledger {

enum class CellFormat {
    Plain, // the stored value as it is
    Money, // cents shown "1.234,50"
    Rate,  // cents of percent shown "20"
    Date,  // ISO date shown dd/MM/yyyy
    Flag,  // "S" or "N", shown as stored
};

// The field of WithholdingRecord a column holds. The key and the version (plain
// integers) are read only; every other column is written from its Written<> field.
using RecordField =
    std::variant<qint64 WithholdingRecord::*, Written<Nullable<qint64>> WithholdingRecord::*,
                 Written<qint64> WithholdingRecord::*, Written<QString> WithholdingRecord::*,
                 Written<Nullable<QString>> WithholdingRecord::*>;

struct WithholdingColumn {
    const char* name;
    RecordField field;
    CellFormat format;
    bool visible;
    int widthTwips; // 0 for hidden columns
};

// Positions of the columns, in stored order.
enum RitenuteColumn : int {
    ColumnId,
    ColumnSubjectId,
    ColumnName,
    ColumnInvoiceNumber,
    ColumnInvoiceDate,
    ColumnTaxable,
    ColumnRate,
    ColumnWithheld,
    ColumnOther,
    ColumnTotal,
    ColumnPaid,
    ColumnPaymentDate,
    ColumnPeriod,
    ColumnRemittanceDate,
    ColumnLateRegularisation,
    ColumnRemitted,
    ColumnInterest,
    ColumnPenalty,
    ColumnTaxCode,
    ColumnYear,
    ColumnUser,
    ColumnDueDate,
    ColumnVersion, // the version the row had when read, for a correction to check
    ColumnCount
};

// The 23 columns, position by position.
std::span<const WithholdingColumn> withholdingColumns();

// Their names joined for a SELECT list: "ID, ID_A, ..., versione".
QString withholdingColumnList();

} // namespace ledger
