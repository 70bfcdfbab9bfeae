#pragma once

#include "base/status.h"
#include "spreadsheets/table.h"

namespace table_export {

enum class FileFormat { Xlsx, Csv };

struct ExportResult {
    Status status = Status::success();
    bool cancelled = false; // the progress callback stopped the work; no file was written
    qint64 rows = 0;

    bool ok() const { return status.ok() && !cancelled; }
};

// Writes `shape` and every row of `rows` to `path` in `format`. The file appears whole
// or not at all: a failure, or a stop asked by `progress`, leaves any earlier file at
// `path` as it was. A failure's reason is Italian, for the operator.
ExportResult exportTable(FileFormat format, const QString& path, const TableShape& shape,
                         RowSource& rows, const Progress& progress = {});

// The file name suffix of `format`, without the dot.
QString suffixOf(FileFormat format);

} // namespace table_export
