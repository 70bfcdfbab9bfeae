#include "importing/sheet_import.h"
#include "ledger/ledger_window.h"
#include "spreadsheets/spreadsheet_file.h"
#include "widgets/data_grid.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// The user's records of a year without their keys (ID, ID_A, utente), in a fixed order.
QList<QStringList> recordsOf(qint64 userId, const QString& year) {
    QList<QStringList> rows;
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT denominazione, ordine, FT, data, imponibile, aliquota, ritenuta, "
                       "altro, totale, pag, datap, periodo, versamento, ravv, versato, "
                       "interessi, sanzione, tributo, anno, scadenza FROM Ritenute "
                       "WHERE utente = ? AND anno = ? ORDER BY denominazione, FT"),
        {QString::number(userId), year});
    while (q.ok() && q.value.next()) {
        QStringList row;
        for (int i = 0; i < 20; ++i)
            row.append(q.value.value(i).isNull() ? QStringLiteral("<null>")
                                                 : q.value.value(i).toString());
        rows.append(row);
    }
    return rows;
}

// Records whose ID_A names a subject of another name, or no subject.
int misdirected(qint64 userId) {
    Result<QSqlQuery> q = store::run(
        QStringLiteral("SELECT count(*) FROM Ritenute r LEFT JOIN Soggetti s ON s.ID = r.ID_A "
                       "WHERE r.utente = ? AND (s.ID IS NULL OR s.denominazione <> "
                       "r.denominazione COLLATE NOCASE)"),
        {QString::number(userId)});
    return q.ok() && q.value.next() ? q.value.value(0).toInt() : -1;
}

} // namespace

class SheetRoundTripTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void exportedYearComesBack();
};

void SheetRoundTripTest::exportedYearComesBack() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Ritenute.xlsx"));
    QList<QStringList> exported;
    {
        LedgerWindow w(QStringLiteral("2021"));
        const qint64 alfa = TestDatabase::addSubject(QStringLiteral("ALFA SRL"));
        const qint64 ancora = TestDatabase::addSubject(QStringLiteral("L'ÀNCORA \"&\" C."));
        const qint64 beta = TestDatabase::addSubject(QStringLiteral("BETA SAS"));
        const QVariantMap paid = {{"ID_A", alfa},
                                  {"denominazione", "ALFA SRL"},
                                  {"FT", "1"},
                                  {"data", "2021-01-15"},
                                  {"imponibile", 100000},
                                  {"aliquota", 2000},
                                  {"ritenuta", 20000},
                                  {"altro", 0},
                                  {"totale", 120000},
                                  {"pag", "S"},
                                  {"datap", "2021-02-10"},
                                  {"periodo", "2"},
                                  {"versamento", "2021-03-16"},
                                  {"ravv", "N"},
                                  {"versato", 20000},
                                  {"interessi", 0},
                                  {"sanzione", 0},
                                  {"tributo", "1040"},
                                  {"scadenza", "2021-03-16"}};
        w.addRecord(paid);
        QVariantMap unpaid = {{"ID_A", ancora},       {"denominazione", "L'ÀNCORA \"&\" C."},
                              {"FT", "0012/A"},       {"data", "2021-05-03"},
                              {"imponibile", 123457}, {"aliquota", 400},
                              {"ritenuta", 4938},     {"altro", 1550},
                              {"totale", 129945},     {"pag", "N"},
                              {"periodo", ""},        {"ravv", "N"},
                              {"versato", 0},         {"interessi", 0},
                              {"sanzione", 0},        {"tributo", "1040"}};
        w.addRecord(unpaid);
        QVariantMap late = paid;
        late.insert({{"FT", "2"},
                     {"imponibile", 50001},
                     {"ritenuta", 10000},
                     {"totale", 60001},
                     {"datap", "2021-06-30"},
                     {"periodo", "6"},
                     {"scadenza", "2021-07-16"},
                     {"versamento", "2021-08-20"},
                     {"ravv", "S"},
                     {"interessi", 150},
                     {"sanzione", 375},
                     {"versato", 10525}});
        w.addRecord(late);
        QVariantMap lastYears = paid;
        lastYears.insert({{"ID_A", beta},
                          {"denominazione", "BETA SAS"},
                          {"FT", "99"},
                          {"data", "2020-12-30"},
                          {"datap", "2021-01-10"},
                          {"periodo", "1"},
                          {"versamento", "2021-02-16"},
                          {"scadenza", "2021-02-16"}});
        w.addRecord(lastYears);
        QVariantMap otherYear = paid;
        otherYear.insert({{"anno", "2022"}, {"FT", "5"}, {"data", "2022-01-15"}});
        w.addRecord(otherYear);

        w.trigger("Rmodifica");
        auto* grid = w.child<DataGrid>("Datagrid1");
        QCOMPARE(grid->rowCount(), 4);
        QVERIFY(grid->exportTo(table_export::FileFormat::Xlsx, path));
        exported = recordsOf(w.userId, QStringLiteral("2021"));
        QCOMPARE(exported.size(), 4);
    }

    // Another ledger, where the user has another key and one payee is already registered.
    TestDatabase db;
    TestDatabase::addSubject(QStringLiteral("ZETA SPA"));
    TestDatabase::addSubject(QStringLiteral("BETA SAS"));
    const qint64 user = TestDatabase::addSubject(QStringLiteral("ROSSI MARIO"), true);
    const sheet::Table table = sheet::readSpreadsheet(path);
    QCOMPARE(table.error, QString());
    const importing::SheetLayout layout = importing::layoutOf(table);
    // The export names no codes: the operator writes those of the payees to create.
    const importing::PlanOptions options{
        QString::number(user),
        QStringLiteral("2021"),
        true,
        QDate(2026, 12, 8),
        {{QStringLiteral("alfa srl"), {QStringLiteral("LFASRL"), QString()}},
         {QStringLiteral("l'àncora \"&\" c."), {QStringLiteral("NCR"), QString()}}}};
    const Result<importing::ImportPlan> plan = importing::planImport(table, layout, options);
    QVERIFY(plan.ok());
    QCOMPARE(plan.value.rows.size(), 4);
    QCOMPARE(plan.value.importable(), 4);
    QCOMPARE(plan.value.newSubjects(),
             (QStringList{QStringLiteral("ALFA SRL"), QStringLiteral("L'ÀNCORA \"&\" C.")}));
    const importing::ImportOutcome outcome = importing::runImport(plan.value);
    QVERIFY2(outcome.status.ok(), qPrintable(outcome.status.error()));
    QCOMPARE(outcome.records, 4);
    QCOMPARE(recordsOf(user, QStringLiteral("2021")), exported);
    QCOMPARE(misdirected(user), 0);

    // The same file again: every row is already there.
    const Result<importing::ImportPlan> again = importing::planImport(table, layout, options);
    QCOMPARE(again.value.count(importing::RowVerdict::Duplicate), 4);
}

QTEST_MAIN(SheetRoundTripTest)
#include "tst_sheet_round_trip.moc"
