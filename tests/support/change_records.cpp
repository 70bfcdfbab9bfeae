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

void addInsertionAndCorrection() {
    change_records::add({"2026-03-01T09:00:00.000Z",
                         "2026-03-01 10:00:00",
                         "rossi",
                         "inserimento",
                         "Ritenute",
                         1,
                         "3",
                         {},
                         R"({"id":1,"ft":"12","imponibile":100000,"versione":1})"});
    change_records::add({"2026-03-02T10:00:00.000Z", "2026-03-02 11:00:00", "bianchi", "correzione",
                         "Ritenute", 1, "3",
                         R"({"id":1,"ft":"12","imponibile":100000,"versione":1})",
                         R"({"id":1,"ft":"12","imponibile":120000,"versione":2})"});
}

} // namespace change_records
