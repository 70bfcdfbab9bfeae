#pragma once

#include "base/status.h"
#include "ledger/withholding_record.h"

#include <QList>
#include <optional>

// Writing and reading single rows of Ritenute. Each write is one transaction: it
// either takes effect whole or not at all, and a failure carries the reason.
namespace ledger {

// Appends a row with the written columns of `record` (the others keep their
// defaults); gives the new row's ID.
Result<qint64> insertWithholding(const WithholdingRecord& record);

// Appends many rows in one transaction: all of them or, on a failure, none.
Status insertWithholdings(const QList<WithholdingRecord>& records);

// Appends `record` inside the caller's transaction.
Status appendWithholding(const WithholdingRecord& record);

// Appends `record` under its own key `record.id`, inside the caller's transaction: a
// ledger brought in from another program keeps its keys.
Status insertWithholdingKeepingKey(const WithholdingRecord& record);

// Rewrites the written columns of row `id`; a row that no longer exists is a failure.
// With `loadedVersion`, a row changed since it was read at that version is refused
// (ErrorKind::ChangedMeanwhile).
Status updateWithholding(qint64 id, const WithholdingRecord& record,
                         std::optional<qint64> loadedVersion = std::nullopt);

// Deletes row `id`; a row that no longer exists is a failure. `loadedVersion` as above.
Status deleteWithholding(qint64 id, std::optional<qint64> loadedVersion = std::nullopt);

// Row `id` with every column (NULLs as no value), or no value when there is no such row.
// Its version is in `version`.
Result<std::optional<WithholdingRecord>> fetchWithholding(qint64 id);

// Row `id` as the ledger grid reads it, one value per withholdingColumns(); empty when
// there is no such row.
Result<QVariantList> fetchGridRow(qint64 id);

// The reason given when a row to change or delete is not there any more.
QString missingRowReason(qint64 id);

} // namespace ledger
