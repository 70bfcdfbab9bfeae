#include "support/change_records.h"

#include "support/test_database.h"

#include <QSqlQuery>
#include <QTest>
#include <QVariant>

namespace change_records {

void add(const Record& r) {
    const auto orNull = [](const QString& text) {
        return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
    };
    TestDatabase::exec(
        QStringLiteral("INSERT INTO Modifiche (utc, locale, operatore, computer, azione, tabella, "
                       "chiave, utente, prima, dopo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {r.utc, r.local, r.operatorName, r.computer, r.action, orNull(r.table),
         r.key ? QVariant(r.key) : QVariant(QMetaType(QMetaType::LongLong)), orNull(r.user),
         orNull(r.before), orNull(r.after)});
}

} // namespace change_records
