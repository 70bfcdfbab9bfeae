#include "support/change_records.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "support/test_database.h"

#include <QSqlQuery>
#include <QTest>
#include <QVariant>

namespace change_records {

void ensureTable() {
    if (store::connection().tables().contains(QStringLiteral("Modifiche"), Qt::CaseInsensitive))
        return;
    const store::Engine engine = store::currentEngine();
    for (const char* sql :
         {"CREATE TABLE Modifiche (ID {key}, utc {text} NOT NULL, locale {text} NOT NULL, "
          "operatore {text} NOT NULL, computer {text}, azione {text} NOT NULL, tabella {text}, "
          "chiave {integer}, utente {text}, prima {text}, dopo {text})",
          "CREATE INDEX Modifiche_utc ON Modifiche (utc{then key})",
          "CREATE INDEX Modifiche_riga ON Modifiche (tabella, chiave{then key})"})
        TestDatabase::exec(store::dialect::definition(engine, QString::fromLatin1(sql)));
}

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
