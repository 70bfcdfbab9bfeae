#include "registry/subject_store.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/name_order.h"
#include "store/row_version.h"
#include "store/transaction.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <array>
#include <variant>

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

// The field of Subject a column holds; the key and the version hold none.
using SubjectField =
    std::variant<std::monostate, QString Subject::*, QDate Subject::*, bool Subject::*>;

struct SubjectColumnDeclaration {
    const char* name;
    SubjectField field;
    const QString* fallback = nullptr; // stored instead of an empty text
};

// The columns of Soggetti, declared once, in the grid's order (SubjectColumn). The
// name's sort key (store::kNameKeyColumn) follows the name among the written columns.
const std::array<SubjectColumnDeclaration, ColumnVersion + 1> kColumns = {{
    {"ID", {}},
    {"denominazione", &Subject::name},
    {"indirizzo", &Subject::address},
    {"citta", &Subject::town},
    {"cap", &Subject::postalCode},
    {"pr", &Subject::province},
    {"datanascita", &Subject::birthDate},
    {"luogo", &Subject::birthPlace},
    {"prnascita", &Subject::birthProvince},
    {"codice", &Subject::taxCode},
    {"partita", &Subject::vatNumber},
    {"utente", &Subject::user},
    {"note", &Subject::note},
    {"causale", &Subject::causale, &kDefaultCausale},
    {"codicealtro", &Subject::otherSumsCode, &kDefaultOtherSumsCode},
    {"versione", {}},
}};

bool holdsName(const SubjectColumnDeclaration& column) {
    return column.field == SubjectField(&Subject::name);
}

// The stored value of one written column.
QVariant storedValue(const Subject& s, const SubjectColumnDeclaration& column) {
    if (const auto* f = std::get_if<QString Subject::*>(&column.field))
        return column.fallback ? orDefault(s.**f, *column.fallback) : text(s.**f);
    if (const auto* f = std::get_if<QDate Subject::*>(&column.field)) {
        // An invalid or absent date is stored as NULL, never as text that is not a date.
        const QDate date = s.**f;
        return date.isValid() ? QVariant(date.toString(Qt::ISODate))
                              : QVariant(QMetaType::fromType<QString>());
    }
    const bool flag = s.*std::get<bool Subject::*>(column.field);
    return flag ? QStringLiteral("S") : QStringLiteral("N");
}

// The written columns, in stored order.
QStringList writtenColumns() {
    QStringList names;
    for (const SubjectColumnDeclaration& column : kColumns) {
        if (std::holds_alternative<std::monostate>(column.field))
            continue;
        names.append(QString::fromLatin1(column.name));
        if (holdsName(column))
            names.append(QString::fromLatin1(store::kNameKeyColumn));
    }
    return names;
}

QVariantList valuesOf(const Subject& s) {
    QVariantList values;
    for (const SubjectColumnDeclaration& column : kColumns) {
        if (std::holds_alternative<std::monostate>(column.field))
            continue;
        values.append(storedValue(s, column));
        if (holdsName(column))
            values.append(store::nameKey(text(s.name)));
    }
    return values;
}

// "INSERT INTO Soggetti (denominazione, ordine, ...) VALUES (?, ?, ...)", with the key
// first when `withKey`.
QString insertStatement(bool withKey) {
    QStringList names = writtenColumns();
    if (withKey)
        names.prepend(QStringLiteral("ID"));
    const QStringList marks(names.size(), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO Soggetti (%1) VALUES (%2)")
        .arg(names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

} // namespace

KeyedQuery subjectGridQuery() {
    // The columns of the registry without the name's sort key, and the row version.
    QStringList names;
    for (const SubjectColumnDeclaration& column : kColumns)
        names.append(QString::fromLatin1(column.name));
    return {QStringLiteral("Soggetti"),
            QStringLiteral("ID"),
            names.join(QStringLiteral(", ")),
            {},
            store::kNameOrder + QStringLiteral(", ID"),
            {}};
}

Result<qint64> insertSubject(const Subject& subject) {
    const Result<store::Written> w =
        store::runInTransaction(insertStatement(false), valuesOf(subject));
    return {w.status, w.ok() ? w.value.lastId : 0};
}

Result<qint64> appendSubject(const Subject& subject) {
    Result<QSqlQuery> q =
        store::run(store::dialect::insertReturningKey(insertStatement(false)), valuesOf(subject));
    return {q.status, q.ok() ? store::dialect::insertedId(q.value) : 0};
}

Status insertSubjectKeepingKey(qint64 id, const Subject& subject) {
    QVariantList values = valuesOf(subject);
    values.prepend(id);
    return store::run(insertStatement(true), values).status;
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
    QStringList assignments;
    for (const QString& name : writtenColumns())
        assignments.append(name + QStringLiteral(" = ?"));
    assignments.append(QLatin1String(store::kNextVersion));
    return writeSubject(id,
                        QStringLiteral("UPDATE Soggetti SET %1 WHERE ID = ?")
                            .arg(assignments.join(QStringLiteral(", "))),
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
