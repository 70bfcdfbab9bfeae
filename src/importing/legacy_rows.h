#pragma once

#include "ledger/withholding_record.h"
#include "registry/subject_store.h"
#include "spreadsheets/csv_reader.h"

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>
#include <variant>

// One row of an exported table turned into what the ledger stores, or the reason it
// cannot be: the rules every table of a moved ledger passes, before anything is written.
namespace importing {

// The columns of one file's header, found by name in any letter case.
class HeaderColumns {
public:
    explicit HeaderColumns(const QStringList& header);
    // The field of `record` under `column`; empty when the file has no such column.
    QString text(const CsvRecord& record, const char* column) const;
    bool has(const char* column) const;
    int size() const { return count_; }

private:
    QHash<QString, int> positions_;
    int count_ = 0;
};

struct SubjectRow {
    qint64 id = 0;
    registry::Subject subject;
};

// A row that is not written, with why.
struct Refusal {
    QString reason; // Italian
};

template <typename T> using Converted = std::variant<T, Refusal>;

Converted<SubjectRow> subjectFromRow(const HeaderColumns& columns, const CsvRecord& record,
                                     const QDate& today);
Converted<WithholdingRecord> withholdingFromRow(const HeaderColumns& columns,
                                                const CsvRecord& record, const QDate& today);

// The lookup tables: the stored values of one row, in the order of the table's columns
// (Anno: the year; periodo: the period; Tributo: code and description; Percentuale: the
// rate in cents).
enum class LookupTable { Years, Periods, TaxCodes, Rates };
Converted<QVariantList> lookupFromRow(LookupTable table, const HeaderColumns& columns,
                                      const CsvRecord& record);

} // namespace importing
