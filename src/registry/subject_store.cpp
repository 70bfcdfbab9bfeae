#include "registry/subject_store.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "store/row_version.h"
#include "store/transaction.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <QVariantList>

namespace registry {
namespace {

// An empty field is stored as the empty text, never NULL, whether or not the
// QString behind it happens to be null.
QString text(const QString& value) {
    return value.isNull() ? QStringLiteral("") : value;
}

QString orDefault(const QString& value, const QString& fallback) {
    return value.trimmed().isEmpty() ? fallback : value.trimmed();
}

// The fifteen written columns, in the order of valuesOf(), and a placeholder for each.
const char* const kWrittenColumns = "denominazione, ordine, indirizzo, citta, cap, pr, "
                                    "datanascita, luogo, prnascita, codice, partita, utente, "
                                    "note, causale, codicealtro";
const char* const kWrittenValues = "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?";

QVariantList valuesOf(const Subject& s) {
    // An invalid or absent date is stored as NULL, never as text that is not a date.
    const QVariant birthDate = s.birthDate.isValid() ? QVariant(s.birthDate.toString(Qt::ISODate))
                                                     : QVariant(QMetaType::fromType<QString>());
    const QString user = s.user ? QStringLiteral("S") : QStringLiteral("N");
    return {text(s.name),
            store::nameKey(text(s.name)),
            text(s.address),
            text(s.town),
            text(s.postalCode),
            text(s.province),
            birthDate,
            text(s.birthPlace),
            text(s.birthProvince),
            text(s.taxCode),
            text(s.vatNumber),
            user,
            text(s.note),
            orDefault(s.causale, kDefaultCausale),
            orDefault(s.otherSumsCode, kDefaultOtherSumsCode)};
}

} // namespace

KeyedQuery subjectGridQuery() {
    // The columns of the registry without the name's sort key, and the row version.
    return {QStringLiteral("Soggetti"),
            QStringLiteral("ID"),
            QStringLiteral("ID, denominazione, indirizzo, citta, cap, pr, datanascita, luogo, "
                           "prnascita, codice, partita, utente, note, causale, codicealtro, "
                           "versione"),
            {},
            store::kNameOrder + QStringLiteral(", ID"),
            {}};
}

Result<qint64> insertSubject(const Subject& subject) {
    const Result<store::Written> w = store::runInTransaction(
        QStringLiteral("INSERT INTO Soggetti (%1) VALUES (%2)")
            .arg(QLatin1String(kWrittenColumns), QLatin1String(kWrittenValues)),
        valuesOf(subject));
    return {w.status, w.ok() ? w.value.lastId : 0};
}

Result<qint64> appendSubject(const Subject& subject) {
    Result<QSqlQuery> q =
        store::run(store::dialect::insertReturningKey(
                       QStringLiteral("INSERT INTO Soggetti (%1) VALUES (%2)")
                           .arg(QLatin1String(kWrittenColumns), QLatin1String(kWrittenValues))),
                   valuesOf(subject));
    return {q.status, q.ok() ? store::dialect::insertedId(q.value) : 0};
}

Status insertSubjectKeepingKey(qint64 id, const Subject& subject) {
    QVariantList values = valuesOf(subject);
    values.prepend(id);
    return store::run(QStringLiteral("INSERT INTO Soggetti (ID, %1) VALUES (?, %2)")
                          .arg(QLatin1String(kWrittenColumns), QLatin1String(kWrittenValues)),
                      values)
        .status;
}

Result<QVariantList> fetchSubjectRow(qint64 id) {
    Result<QVariantList> result;
    Result<QSqlQuery> query = store::run(
        QStringLiteral("SELECT %1 FROM Soggetti WHERE ID = ?").arg(subjectGridQuery().columns),
        {id});
    result.status = query.status;
    if (query.ok() && query.value.next()) {
        for (int c = 0; c < query.value.record().count(); ++c)
            result.value.append(query.value.value(c));
    }
    return result;
}

namespace {

// Runs a write of the subject `id`; with `loadedVersion` only while the row still has
// it. The value tells whether a row was written.
Result<bool> writeSubject(qint64 id, QString sql, QVariantList values,
                          std::optional<qint64> loadedVersion) {
    values.append(id);
    if (loadedVersion) {
        sql += QLatin1String(store::kSameVersion);
        values.append(*loadedVersion);
    }
    const Result<store::Written> w = store::runInTransaction(sql, values);
    if (!w.ok() || w.value.rows > 0 || !loadedVersion)
        return {w.status, w.ok() && w.value.rows > 0};
    const Result<QVariantList> row = fetchSubjectRow(id);
    if (!row.ok() || row.value.isEmpty())
        return {row.status, false};
    return {store::changedMeanwhile(QStringLiteral("Il soggetto")), false};
}

} // namespace

Result<bool> updateSubject(qint64 id, const Subject& subject, std::optional<qint64> loadedVersion) {
    return writeSubject(id,
                        QStringLiteral("UPDATE Soggetti SET denominazione = ?, ordine = ?, "
                                       "indirizzo = ?, citta = ?, cap = ?, pr = ?, "
                                       "datanascita = ?, luogo = ?, prnascita = ?, codice = ?, "
                                       "partita = ?, utente = ?, note = ?, causale = ?, "
                                       "codicealtro = ?, ") +
                            QLatin1String(store::kNextVersion) + QStringLiteral(" WHERE ID = ?"),
                        valuesOf(subject), loadedVersion);
}

Result<bool> deleteSubject(qint64 id, std::optional<qint64> loadedVersion) {
    // Nothing cascades: the subject's withholding rows keep its key and name.
    return writeSubject(id, QStringLiteral("DELETE FROM Soggetti WHERE ID = ?"), {}, loadedVersion);
}

std::optional<qint64> parseSubjectId(const QString& text) {
    bool ok = false;
    const qint64 id = text.trimmed().toLongLong(&ok);
    if (!ok || id <= 0)
        return std::nullopt;
    return id;
}

} // namespace registry
