#include "spreadsheets/table_export.h"

#include "spreadsheets/csv_writer.h"
#include "spreadsheets/staged_file.h"
#include "spreadsheets/table_writer.h"
#include "spreadsheets/xlsx_writer.h"

#include <memory>

namespace table_export {
namespace {

// Progress is told this often: often enough for a responsive bar and a quick stop.
constexpr qint64 kProgressRows = 256;

std::unique_ptr<TableWriter> writerFor(FileFormat format) {
    if (format == FileFormat::Xlsx)
        return std::make_unique<XlsxWriter>();
    return std::make_unique<CsvWriter>();
}

// Sums the totalled columns in exact cents; an amount that is not a number adds nothing.
class Totals {
public:
    explicit Totals(const QList<Column>& columns) {
        for (const Column& column : columns) {
            sums_.append(column.totalled ? std::optional<qint64>(0) : std::nullopt);
            any_ = any_ || column.totalled;
        }
    }
    void add(const QList<Cell>& row) {
        for (int c = 0; c < row.size() && c < sums_.size(); ++c) {
            if (sums_[c] && row.at(c).type == Cell::Type::Number)
                *sums_[c] += row.at(c).cents;
        }
    }
    QList<std::optional<qint64>> result(qint64 rows) const {
        return any_ && rows > 0 ? sums_ : QList<std::optional<qint64>>();
    }

private:
    QList<std::optional<qint64>> sums_;
    bool any_ = false;
};

} // namespace

QString suffixOf(FileFormat format) {
    return format == FileFormat::Xlsx ? QStringLiteral("xlsx") : QStringLiteral("csv");
}

ExportResult exportTable(FileFormat format, const QString& path, const TableShape& shape,
                         RowSource& rows, const Progress& progress) {
    ExportResult result;
    StagedFile file(path);
    if (result.status = file.create(); !result.status.ok())
        return result;
    std::unique_ptr<TableWriter> writer = writerFor(format);
    if (result.status = writer->open(file.temporaryPath(), shape); !result.status.ok())
        return result;

    Totals totals(shape.columns);
    const qint64 total = rows.size();
    QVariantList values;
    QList<Cell> cells;
    while (rows.next(values)) {
        cells.resize(shape.columns.size());
        for (int c = 0; c < shape.columns.size(); ++c)
            cells[c] = cellOf(shape.columns.at(c).kind, values.value(c));
        totals.add(cells);
        if (result.status = writer->write(cells); !result.status.ok())
            return result;
        if (++result.rows % kProgressRows == 0 && progress && !progress(result.rows, total)) {
            result.cancelled = true;
            return result;
        }
    }
    if (const QString error = rows.error(); !error.isEmpty()) {
        result.status = Status::failure(QStringLiteral("lettura dei dati non riuscita: ") + error);
        return result;
    }
    if (progress && !progress(result.rows, total)) {
        result.cancelled = true;
        return result;
    }
    if (result.status = writer->close(totals.result(result.rows)); !result.status.ok())
        return result;
    writer.reset();
    result.status = file.commit();
    return result;
}

} // namespace table_export
