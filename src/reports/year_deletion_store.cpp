#include "reports/year_deletion_store.h"

#include "store/archive.h"
#include "store/change_record.h"
#include "store/connection.h"
#include "store/transaction.h"
#include "values/amount.h"

namespace year_deletion {

bool isSystemPassword(const QString& entry) {
    // Read as the program reads every number typed by the operator, which rounds to
    // cents: decimals past the cents must then be zeros, or "5829,001" would pass.
    const std::optional<Amount> value = Amount::parse(entry);
    if (!value || value->cents() != qint64(kSystemPassword) * 100)
        return false;
    const QString trimmed = entry.trimmed();
    const qsizetype comma = trimmed.indexOf(u',');
    if (comma < 0)
        return true;
    for (const QChar digit : QStringView(trimmed).sliced(comma + 1)) {
        if (digit != u'0')
            return false;
    }
    return true;
}

Status deleteYear(const QString& userId, const QString& year, int* deleted) {
    // The records cannot be had back otherwise: no copy, no deletion.
    if (const Result<QString> copy = store::copyBeforeYearDeletion(); !copy.ok())
        return Status::failure(
            QStringLiteral("la copia automatica dell'archivio non è riuscita: ") + copy.error());
    // One entry in the record of changes for each record deleted.
    const store::RecordedAs recorded(store::connection(), store::Azione::CancellazioneAnno);
    if (!recorded.begun().ok())
        return recorded.begun();
    // Equality, not LIKE: a year typed as "20%" must not reach other years.
    const Result<store::Written> done = store::runInTransaction(
        QStringLiteral("DELETE FROM Ritenute WHERE anno = ? AND utente = ?"), {year, userId});
    if (done.ok() && deleted)
        *deleted = int(done.value.rows);
    return done.status;
}

} // namespace year_deletion
